// Reading the explanation file: line ends, the end mark, and files that cannot be read.

#include "framework/Handles.h"
#include "framework/TextFile.h"

#include <gtest/gtest.h>

#include <string>
#include <windows.h>

namespace {

class TextFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        char folder[MAX_PATH] = {};
        ::GetTempPathA(sizeof(folder), folder);
        ::GetTempFileNameA(folder, "txt", 0, path);
    }
    void TearDown() override { ::DeleteFileA(path); }

    void Write(const std::string& bytes)
    {
        fw::UniqueHandle file(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }

    char path[MAX_PATH] = {};
};

struct Case {
    const char* name;
    std::string bytes;
    std::string text;
};

TEST_F(TextFileTest, TurnsEveryLineIntoCrLf)
{
    const Case cases[] = {
        {"windows line ends", "one\r\ntwo\r\n\r\nfour\r\n", "one\r\ntwo\r\n\r\nfour\r\n"},
        {"bare line feeds", "one\ntwo\n\nfour\n", "one\r\ntwo\r\n\r\nfour\r\n"},
        {"last line without end", "one\r\ntwo", "one\r\ntwo\r\n"},
        {"empty file", "", ""},
        {"only a line end", "\n", "\r\n"},
        {"end mark", "one\r\ntw\x1Ao\r\nthree\r\n", "one\r\ntw\r\n"},
        {"end mark at a line start", "one\n\x1A", "one\r\n"},
        {"lone carriage returns stay", "a\rb\r\r\nc\r", "a\rb\r\r\nc\r\r\n"},
        {"code page 932 bytes as they are", "\x83\x7c\x81\x5b\x83\x67\n\x81\x9c", "\x83\x7c\x81\x5b\x83\x67\r\n\x81\x9c\r\n"},
        {"lines longer than any buffer", std::string(20000, 'x') + "\n" + std::string(9000, 'y'),
         std::string(20000, 'x') + "\r\n" + std::string(9000, 'y') + "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write(c.bytes);
        std::string text = "stale";
        EXPECT_TRUE(fw::ReadTextFile(path, text));
        EXPECT_EQ(c.text, text);
    }
}

TEST_F(TextFileTest, FailsOnAFileItCannotHaveToItself)
{
    Write("text\n");
    // Even a reader that shares everything keeps it from being opened without sharing.
    fw::UniqueHandle other(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, other.get());
    std::string text = "stale";
    EXPECT_FALSE(fw::ReadTextFile(path, text));
    EXPECT_EQ("", text);
    other.reset();
    ::DeleteFileA(path);
    EXPECT_FALSE(fw::ReadTextFile(path, text)) << "missing";
}

} // namespace
