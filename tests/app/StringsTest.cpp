// The message texts as the program loads them (UTF-16), compared as exact code page 932 bytes:
// leading blank of the caption, real line feeds, and the blanks before "の".
#include "framework/ProgramText.h"
#include "res/resource.h"

#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace {

// The text in code page 932, converted here from the UTF-8 of this file; empty when any
// character has no code page 932 form.
std::string Cp932(const char* utf8)
{
    const int wideLength = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &wide[0], wideLength);
    BOOL lossy = FALSE;
    const int length = ::WideCharToMultiByte(932, 0, wide.c_str(), -1, nullptr, 0, nullptr, &lossy);
    std::string text(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(932, 0, wide.c_str(), -1, &text[0], length, nullptr, &lossy);
    text.resize(text.size() - 1);
    return lossy ? std::string() : text;
}

std::string Loaded(UINT id)
{
    wchar_t buffer[1024] = {};
    ::LoadStringW(::GetModuleHandleA(nullptr), id, buffer, ARRAYSIZE(buffer));
    std::string text;
    fw::FromWide(buffer, text);
    return text;
}

struct Case {
    UINT id;
    const char* utf8;
};

TEST(Strings, LoadAsExactCodePage932Bytes)
{
    const Case cases[] = {
        {IDS_CAPTION, " Windows(R) XP SP2 対応 Tessaly ドライバ配信 設定ツール"},
        {IDS_SETUP_DONE, "設定を完了しました。\n"},
        {IDS_REMOVAL_DONE, "設定の削除を完了しました。\n"},
        {IDS_OS_NOT_SUPPORTED, "ご使用のOSでは、本プログラムでの設定変更の必要はありません。\nプログラムを終了します。"},
        {IDS_NOT_ADMINISTRATOR, "実行権限がありません。\n本プログラムは、コンピュータの管理者で実行してください。"},
        {IDS_MONITOR_NOT_INSTALLED, "Windows ファイアウォール の設定変更は必要ありません。\n"
                                    "Tessaly ドライバ配信 監視プログラムがインストールされていません。"},
        {IDS_ALREADY_SET_UP, "Windows ファイアウォール の設定変更は必要ありません。\nすでに設定を完了しています。"},
        {IDS_NOTHING_TO_REMOVE, "Windows ファイアウォール の設定削除は必要ありません。\n"
                                "設定変更を行ったことが無いか、すでに設定の削除を完了しています。"},
        {IDS_CHANGE_FAILED, "Windows ファイアウォール の設定変更に失敗しました。\n詳しくは、システム管理者にお問い合わせください。"},
    };
    for (const Case& c : cases) {
        const std::string expected = Cp932(c.utf8);
        ASSERT_FALSE(expected.empty()) << c.id;
        EXPECT_EQ(expected, Loaded(c.id)) << "string " << c.id;
    }
}

// A few bytes spelled out, independent of any conversion.
TEST(Strings, KeyBytesAreThere)
{
    EXPECT_EQ(std::string(" Windows(R) XP SP2 \x91\xce\x89\x9e "), Loaded(IDS_CAPTION).substr(0, 24));
    const std::string done = Loaded(IDS_SETUP_DONE);
    ASSERT_GE(done.size(), 3u);
    EXPECT_EQ(std::string("\x81\x42\n"), done.substr(done.size() - 3));
    // "ル の" with the blank between them, then "設定".
    EXPECT_NE(std::string::npos, Loaded(IDS_CHANGE_FAILED).find("\x83\x8b \x82\xcc\x90\xdd\x92\xe8"));
    EXPECT_EQ(std::string::npos, Loaded(IDS_CHANGE_FAILED).find("\\n"));
}

} // namespace
