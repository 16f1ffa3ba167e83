// The explanation file's text: line ends, the end mark, the encodings editors write, and a file
// that another program holds open or that fails halfway through the read.

#include "framework/Handles.h"
#include "framework/TextDecoding.h"
#include "framework/TextFile.h"

#include <gtest/gtest.h>

#include <string>
#include <windows.h>

namespace {

struct Case {
    const char* name;
    std::string bytes;
    std::wstring text;
};

TEST(TextFile, DecodesWhatEditorsWriteAndTurnsEveryLineIntoCrLf)
{
    const Case cases[] = {
        {"windows line ends", "one\r\ntwo\r\n\r\nfour\r\n", L"one\r\ntwo\r\n\r\nfour\r\n"},
        {"bare line feeds", "one\ntwo\n\nfour\n", L"one\r\ntwo\r\n\r\nfour\r\n"},
        {"last line without end", "one\r\ntwo", L"one\r\ntwo\r\n"},
        {"empty file", "", L""},
        {"only a line end", "\n", L"\r\n"},
        {"end mark", "one\r\ntw\x1Ao\r\nthree\r\n", L"one\r\ntw\r\n"},
        {"end mark at a line start", "one\n\x1A", L"one\r\n"},
        {"lone carriage returns stay", "a\rb\r\r\nc\r", L"a\rb\r\r\nc\r\r\n"},
        {"code page 932", "\x83\x7c\x81\x5b\x83\x67\n\x81\x9c", L"ポート\r\n●\r\n"},
        {"UTF-8", u8"説明\nend\x1A説", L"説明\r\nend\r\n"},
        {"UTF-8 beyond the basic plane", u8"😀", L"\xD83D\xDE00\r\n"},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF" "abc\r\n", L"abc\r\n"},
        {"only a UTF-8 byte order mark", "\xEF\xBB\xBF", L""},
        {"UTF-8 byte order mark before bytes that are no UTF-8", "\xEF\xBB\xBF" "a\xFF\xE3\x81" "b", L"a\xFFFD\xFFFD\xFFFD" L"b\r\n"},
        // Bytes 0x0A, 0x0D and 0x1A inside UTF-16 characters (上 不 U+4E1A) end nothing.
        {"UTF-16 little-endian", std::string("\xFF\xFE\x0A\x4E\x0D\x4E\x1A\x4E\x0D\x00\x0A\x00x\x00\x1A\x00y\x00", 18),
         L"上不\x4E1A\r\nx\r\n"},
        {"UTF-16 big-endian", std::string("\xFE\xFF\x4E\x0A\x00\x0A\x00" "b", 8), L"上\r\nb\r\n"},
        {"UTF-16 with a last odd byte", std::string("\xFF\xFE" "A\x00" "B", 5), L"A\r\n"},
        {"only a UTF-16 byte order mark", "\xFF\xFE", L""},
        // Not UTF-8, so code page 932 (half-width katakana and kanji there).
        {"stray continuation byte", "\xA5", L"\xFF65\r\n"},
        {"UTF-8 sequence cut off by the end", "\xC2", L"\xFF82\r\n"},
        {"overlong form", "\xC1\xBF", L"\xFF81\xFF7F\r\n"},
        {"overlong three-byte form", "\xE0\x9F\xBF", L"\x71F9\xFF7F\r\n"},
        {"surrogate", "\xED\xA0\xB0", L"\x605D\xFF70\r\n"},
        {"beyond U+10FFFF", "\xF4\x90\xA1\xA1", L"\xE33F\xFF61\xFF61\r\n"},
    };
    for (const Case& c : cases) {
        std::wstring text = L"stale";
        EXPECT_TRUE(fw::DecodeText(c.bytes, text)) << c.name;
        EXPECT_EQ(c.text, text) << c.name;
    }
}

TEST(TextFile, ReadsAFileThatAnotherProgramHoldsOpenToWriteOrDelete)
{
    wchar_t folder[MAX_PATH] = {};
    wchar_t path[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    ASSERT_NE(0u, ::GetTempFileNameW(folder, L"txt", 0, path));
    {
        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        const fw::UniqueHandle other(
            ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE | DELETE, share, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(INVALID_HANDLE_VALUE, other.get());
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(other.get(), "text\n", 5, &written, nullptr));
        std::wstring text;
        EXPECT_TRUE(fw::ReadTextFile(path, text));
        EXPECT_EQ(L"text\r\n", text);
    }
    ::DeleteFileW(path);
}

// What the pipe's server does while the test reads: sends a first piece, waits until it was read
// and goes away, so that the next read fails as a read from a vanished share does.
DWORD WINAPI SendAPieceAndVanish(void* pipe)
{
    const HANDLE server = static_cast<HANDLE>(pipe);
    DWORD written = 0;
    if (::ConnectNamedPipe(server, nullptr) || ::GetLastError() == ERROR_PIPE_CONNECTED) {
        ::WriteFile(server, "first\n", 6, &written, nullptr);
        ::FlushFileBuffers(server);
    }
    ::DisconnectNamedPipe(server);
    return 0;
}

TEST(TextFile, AReadThatFailsHalfwayGivesNoText)
{
    const wchar_t name[] = L"\\\\.\\pipe\\fwsetup-text-file-test";
    const fw::UniqueHandle server(
        ::CreateNamedPipeW(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, server.get());
    const fw::UniqueHandle thread(::CreateThread(nullptr, 0, SendAPieceAndVanish, server.get(), 0, nullptr));
    ASSERT_NE(nullptr, thread.get());
    std::wstring text = L"stale";
    EXPECT_FALSE(fw::ReadTextFile(name, text));
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread.get(), 30000));
}

} // namespace
