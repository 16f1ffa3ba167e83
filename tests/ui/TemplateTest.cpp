// The dialog templates as the program loads them: every control's id, class, style, place and
// text, in tab order, and the dialogs' own style, caption and font.

#include "DialogDriver.h"
#include "res/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

struct ControlLayout {
    int id;
    const char* className;
    DWORD style; // besides WS_CHILD | WS_VISIBLE
    RECT units;  // x, y, width, height in dialog units
    const char* text;
};

struct TemplateLayout {
    UINT id;
    std::vector<ControlLayout> controls;
};

constexpr char Caption[] = u8"Windows(R) XP SP2 対応 Tessaly ドライバ配信 設定ツール";
constexpr DWORD Static = SS_LEFT | WS_GROUP;
constexpr DWORD DefaultButton = BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP;
constexpr DWORD Button = BS_PUSHBUTTON | WS_TABSTOP;

const TemplateLayout Templates[] = {
    {IDD_INTRO,
     {
         {-1, "Static", Static, {7, 7, 291, 22},
          u8"本プログラムは、Tessaly ドライバ配信 監視プログラムをご利用のお客様が、Windows(R) XP Service Pack "
          u8"2環境をご使用の場合に、以下の設定を行うプログラムです。"},
         {-1, "Static", Static, {14, 43, 275, 8}, u8"●Windows ファイアウォール経由でのコンピュータ間の通信を許可する環境設定"},
         {-1, "Static", Static, {24, 55, 8, 8}, "-"},
         {IDC_PORT_TEXT, "Static", Static, {30, 55, 205, 24},
          u8"Tessaly ドライバ配信 監視プログラムが通信を行うために使用するUDP ○○ ポートを開きます。"},
         {-1, "Static", Static, {7, 114, 52, 8}, u8"※ご利用の前に"},
         {-1, "Static", Static, {14, 128, 279, 19},
          u8"「次へ」をクリック後に表示されるWindows ファイアウォール経由によるコンピュータ間の通信許可に関する説明を"
          u8"お読みになり、正しくご利用ください。"},
         {-1, "Static", Static, {14, 157, 273, 8}, u8"「次へ」をクリックしてください。"},
         {IDC_NEXT, "Button", DefaultButton, {185, 184, 50, 14}, u8"次へ(&N)＞"},
         {IDCANCEL, "Button", Button, {248, 184, 50, 14}, u8"ｷｬﾝｾﾙ"},
     }},
    {IDD_AGREEMENT,
     {
         {IDC_HEADING, "Static", Static, {7, 7, 270, 12}, u8"Windows(R) XP SP2 対応 Tessaly ドライバ配信 設定ツールの説明"},
         {-1, "Static", Static, {14, 23, 284, 8}, u8"次の説明を最後まで注意深くお読みになり、選択してください。"},
         {IDC_EXPLANATION, "Edit", ES_MULTILINE | ES_AUTOHSCROLL | ES_READONLY | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
          {7, 46, 291, 103}, ""},
         {IDC_AGREE, "Button", BS_AUTORADIOBUTTON | WS_GROUP, {7, 156, 235, 10}, u8"本ツールによる環境設定変更に同意する(&A)"},
         {IDC_DISAGREE, "Button", BS_AUTORADIOBUTTON, {7, 170, 235, 10}, u8"本ツールによる環境設定変更に同意しない(&N)"},
         {IDOK, "Button", DefaultButton, {185, 184, 50, 14}, "OK"},
         {IDCANCEL, "Button", Button, {248, 184, 50, 14}, u8"ｷｬﾝｾﾙ"},
     }},
    {IDD_PORT_REMOVAL,
     {
         {-1, "Static", Static, {7, 7, 284, 33},
          u8"Tessaly ドライバ配信 監視プログラムによる、Windows ファイアウォールを経由したネットワーク接続の許可を削除"
          u8"します。\nWindows ファイアウォールの例外一覧から削除する、ポートの設定を選択してください。"},
         {-1, "Static", Static, {7, 57, 279, 8}, u8"Tessaly ドライバ配信 監視プログラム向けに設定されたポート(&D):"},
         {IDC_PORT_LIST, "SysListView32",
          LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_BORDER | WS_TABSTOP,
          {7, 69, 291, 87}, "List1"},
         {IDOK, "Button", DefaultButton, {185, 184, 50, 14}, "OK"},
         {IDCANCEL, "Button", Button, {248, 184, 50, 14}, u8"ｷｬﾝｾﾙ"},
     }},
};

class TemplateTest : public testing::TestWithParam<TemplateLayout> {
protected:
    void SetUp() override { ::InitCommonControls(); }
};

std::string WindowText(HWND window)
{
    std::vector<char> buffer(static_cast<size_t>(::GetWindowTextLengthA(window)) + 1);
    return std::string(buffer.data(), static_cast<size_t>(::GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()))));
}

TEST_P(TemplateTest, LoadsAsDesigned)
{
    const TemplateLayout& layout = GetParam();
    fw::Dialog dialog(layout.id, nullptr);
    const INT_PTR result = uitest::RunModal(dialog, [&](uitest::UiThread& ui, HWND window) {
        ui.Run([&] {
            EXPECT_EQ(uitest::Cp932(Caption), WindowText(window));
            const DWORD dialogStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
            EXPECT_EQ(dialogStyle, static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE)) & dialogStyle);
            EXPECT_FALSE(::GetWindowLongA(window, GWL_STYLE) & WS_CHILD);
            EXPECT_TRUE(::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
            RECT size = {0, 0, 305, 205};
            ::MapDialogRect(window, &size);
            RECT client = {};
            ::GetClientRect(window, &client);
            EXPECT_EQ(size.right, client.right);
            EXPECT_EQ(size.bottom, client.bottom);

            LOGFONTA font = {};
            ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)), sizeof(font), &font);
            EXPECT_EQ(uitest::Cp932(u8"ＭＳ Ｐゴシック"), font.lfFaceName);
            EXPECT_EQ(0, font.lfWeight);
            EXPECT_EQ(0, font.lfItalic);
            EXPECT_EQ(DEFAULT_CHARSET, font.lfCharSet);

            HWND child = ::GetWindow(window, GW_CHILD);
            for (const ControlLayout& control : layout.controls) {
                SCOPED_TRACE(control.text);
                ASSERT_NE(nullptr, child);
                EXPECT_EQ(control.id, ::GetDlgCtrlID(child));
                char className[32] = {};
                ::GetClassNameA(child, className, sizeof(className));
                EXPECT_STREQ(control.className, className);
                // Edit and list-view controls trade WS_BORDER for a client edge they draw themselves.
                const DWORD style = static_cast<DWORD>(::GetWindowLongA(child, GWL_STYLE));
                const bool edged = (::GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
                EXPECT_EQ(WS_CHILD | WS_VISIBLE | (control.style & ~WS_BORDER), style & ~WS_BORDER);
                EXPECT_EQ((control.style & WS_BORDER) != 0, (style & WS_BORDER) != 0 || edged);
                // The dialog manager maps place and size separately.
                RECT mapped = control.units;
                ::MapDialogRect(window, &mapped);
                RECT expected = {mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
                RECT actual = {};
                ::GetWindowRect(child, &actual);
                ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&actual), 2);
                EXPECT_TRUE(::EqualRect(&expected, &actual))
                    << expected.left << "," << expected.top << "," << expected.right << "," << expected.bottom << " vs "
                    << actual.left << "," << actual.top << "," << actual.right << "," << actual.bottom;
                EXPECT_EQ(uitest::Cp932(control.text), WindowText(child));
                child = ::GetWindow(child, GW_HWNDNEXT);
            }
            EXPECT_EQ(nullptr, child) << "more controls than expected";
        });
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, result);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, TemplateTest, testing::ValuesIn(Templates),
                         [](const testing::TestParamInfo<TemplateLayout>& info) {
                             return std::to_string(info.param.id);
                         });

} // namespace
