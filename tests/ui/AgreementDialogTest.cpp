// The agreement dialog as a user meets it: the explanation, reading it to its end, the choice,
// and the set-up running behind a busy dialog.

#include "DialogDriver.h"
#include "task/FirewallTask.h"
#include "framework/TextFile.h"
#include "res/resource.h"
#include "support/SimFwStateFile.h"
#include "ui/AgreementDialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A current directory of its own with a "Readme.txt" of 80 lines, which needs scrolling.
class AgreementDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ::GetCurrentDirectoryA(sizeof(previous), previous);
        ::GetTempPathA(sizeof(directory), directory);
        ::GetTempFileNameA(std::string(directory).c_str(), "agr", 0, directory);
        ::DeleteFileA(directory);
        ASSERT_TRUE(::CreateDirectoryA(directory, nullptr) && ::SetCurrentDirectoryA(directory));
        fw::UniqueHandle file(::CreateFileA("Readme.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::string text;
        for (int i = 1; i <= 80; ++i) {
            text += "line " + std::to_string(i) + "\n";
        }
        DWORD written = 0;
        ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        dialog.SetTask(&task);
    }
    void TearDown() override
    {
        ::SetCurrentDirectoryA(previous);
        ::DeleteFileA((std::string(directory) + "\\Readme.txt").c_str());
        ::RemoveDirectoryA(directory);
    }

    char directory[MAX_PATH] = {};
    char previous[MAX_PATH] = {};
    FirewallTask task;
    AgreementDialog dialog{nullptr};
};

int ScrollLimit(const uitest::UiThread& ui)
{
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    ui.Run([&] { ::GetScrollInfo(ui.Item(IDC_EXPLANATION), SB_VERT, &info); });
    return info.nMax + 1 - static_cast<int>(info.nPage);
}

void Scroll(const uitest::UiThread& ui, WORD code, int times = 1, int position = 0)
{
    for (int i = 0; i < times; ++i) {
        ui.Send(IDC_EXPLANATION, WM_VSCROLL, MAKEWPARAM(code, position), 0);
    }
}

// Drags the thumb to the end and picks the agreeing choice. Under Wine a click of the choice
// while it is disabled never returns, and the test would hang instead of failing.
void Agree(const uitest::UiThread& ui)
{
    Scroll(ui, SB_THUMBTRACK, 1, ScrollLimit(ui));
    ASSERT_TRUE(ui.IsEnabled(IDC_AGREE)) << "the end of the text enables the agreeing choice";
    ui.Send(IDC_AGREE, BM_CLICK, 0, 0);
}

LONG FontWeight(HWND control)
{
    LOGFONTA font = {};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font.lfWeight;
}

TEST_F(AgreementDialogTest, OpensWithTheExplanationAtItsStartAndNothingChosen)
{
    const INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND) {
        std::string expected;
        for (int i = 1; i <= 80; ++i) {
            expected += "line " + std::to_string(i) + "\r\n";
        }
        EXPECT_EQ(expected, ui.ItemText(IDC_EXPLANATION));
        EXPECT_EQ(BST_UNCHECKED, ui.Send(IDC_AGREE, BM_GETCHECK, 0, 0));
        EXPECT_EQ(BST_UNCHECKED, ui.Send(IDC_DISAGREE, BM_GETCHECK, 0, 0));
        EXPECT_FALSE(ui.IsEnabled(IDC_AGREE));
        EXPECT_TRUE(ui.IsEnabled(IDC_DISAGREE));
        EXPECT_FALSE(ui.IsEnabled(IDOK));
        EXPECT_EQ(IDC_EXPLANATION, ui.Focus());
        DWORD start = 1, end = 1;
        ui.Send(IDC_EXPLANATION, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(0u, start + end) << "caret at the start, nothing selected";
        EXPECT_EQ(0, ui.Send(IDC_EXPLANATION, EM_GETFIRSTVISIBLELINE, 0, 0));
        EXPECT_TRUE(ui.Style(IDC_DISAGREE) & WS_TABSTOP);
        EXPECT_FALSE(ui.Style(IDC_AGREE) & WS_TABSTOP);
        EXPECT_EQ(FW_BOLD, FontWeight(ui.Item(IDC_HEADING)));
        EXPECT_EQ(0, FontWeight(ui.Item(IDC_AGREE))) << "the dialog font";
        uitest::PostKey(ui.FocusWindow(), VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, result);
}

struct ScrollCase {
    const char* name;
    void (*scroll)(const uitest::UiThread& ui, int limit);
    bool agreeEnabled;
};

const ScrollCase ScrollCases[] = {
    {"thumb dragged to the end, not yet released",
     [](const uitest::UiThread& ui, int limit) { Scroll(ui, SB_THUMBTRACK, 1, limit); }, true},
    {"thumb dragged and released one short",
     [](const uitest::UiThread& ui, int limit) {
         Scroll(ui, SB_THUMBTRACK, 1, limit - 1);
         Scroll(ui, SB_THUMBPOSITION, 1, limit - 1);
     },
     false},
    {"line by line to the end", [](const uitest::UiThread& ui, int limit) { Scroll(ui, SB_LINEDOWN, limit); }, true},
    {"line by line one short", [](const uitest::UiThread& ui, int limit) { Scroll(ui, SB_LINEDOWN, limit - 1); },
     false},
    {"page by page, then back to the top",
     [](const uitest::UiThread& ui, int limit) {
         Scroll(ui, SB_PAGEDOWN, limit);
         Scroll(ui, SB_TOP);
     },
     true},
    {"wheel turned to the end",
     [](const uitest::UiThread& ui, int limit) {
         for (int i = 0; i < limit; ++i) {
             ui.Send(IDC_EXPLANATION, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
         }
     },
     true},
    {"Down arrow to the last line",
     [](const uitest::UiThread& ui, int) {
         for (int i = static_cast<int>(ui.Send(IDC_EXPLANATION, EM_GETLINECOUNT, 0, 0)); i > 1; --i) {
             uitest::PostKey(ui.Item(IDC_EXPLANATION), VK_DOWN);
         }
         ui.Flush();
     },
     true},
    {"a selection dragged past the bottom right, which scrolls to the end",
     [](const uitest::UiThread& ui, int limit) {
         Scroll(ui, SB_THUMBPOSITION, 1, limit - 1);
         HWND edit = ui.Item(IDC_EXPLANATION);
         RECT client = {};
         ::GetClientRect(edit, &client);
         ::PostMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 2, client.bottom - 2));
         ::PostMessageA(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.right + 20, client.bottom + 20));
         EXPECT_TRUE(uitest::WaitUntil(
             [&] { return ui.Send(IDC_EXPLANATION, EM_GETFIRSTVISIBLELINE, 0, 0) == limit; }, 5000));
         ::PostMessageA(edit, WM_LBUTTONUP, 0, MAKELPARAM(client.right + 20, client.bottom + 20));
         ui.Flush();
     },
     false},
};

TEST_F(AgreementDialogTest, AgreeingIsPossibleOnlyAfterScrollingToTheEnd)
{
    for (const ScrollCase& c : ScrollCases) {
        AgreementDialog fresh(nullptr);
        fresh.SetTask(&task);
        uitest::RunModal(fresh, [&](uitest::UiThread& ui, HWND window) {
            SCOPED_TRACE(c.name); // the script's thread is where its checks fail
            const int limit = ScrollLimit(ui);
            ASSERT_GT(limit, 10);
            c.scroll(ui, limit);
            EXPECT_EQ(c.agreeEnabled, ui.IsEnabled(IDC_AGREE));
            EXPECT_FALSE(ui.IsEnabled(IDOK));
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        });
    }
}

TEST_F(AgreementDialogTest, RefusingEndsWithCancelWhateverCameBefore)
{
    for (bool agreedFirst : {false, true}) {
        AgreementDialog fresh(nullptr);
        fresh.SetTask(&task);
        const INT_PTR result = uitest::RunModal(fresh, [&](uitest::UiThread& ui, HWND) {
            if (agreedFirst) {
                Agree(ui);
                EXPECT_EQ(BST_CHECKED, ui.Send(IDC_AGREE, BM_GETCHECK, 0, 0));
                EXPECT_TRUE(ui.IsEnabled(IDOK));
            }
            ui.Send(IDC_DISAGREE, BM_CLICK, 0, 0);
            EXPECT_EQ(BST_UNCHECKED, ui.Send(IDC_AGREE, BM_GETCHECK, 0, 0));
            EXPECT_EQ(BST_CHECKED, ui.Send(IDC_DISAGREE, BM_GETCHECK, 0, 0));
            EXPECT_TRUE(ui.IsEnabled(IDOK));
            uitest::PostKey(ui.FocusWindow(), VK_RETURN);
        });
        EXPECT_EQ(IDCANCEL, result);
    }
    EXPECT_FALSE(task.HasWorkerEnded()) << "nothing was started";
}

TEST_F(AgreementDialogTest, PaintsInTheWindowColoursAndFollowsTheirChange)
{
    uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
        ui.Run([&] {
            HDC dc = ::CreateCompatibleDC(nullptr);
            // What the edit is told to paint with: text, background and brush colour.
            const auto paint = [&] {
                LOGBRUSH brush = {};
                ::GetObjectA(reinterpret_cast<HBRUSH>(::SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                                     reinterpret_cast<LPARAM>(ui.Item(IDC_EXPLANATION)))),
                             sizeof(brush), &brush);
                return std::vector<COLORREF>{::GetTextColor(dc), ::GetBkColor(dc), brush.lbColor};
            };
            const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT), back = ::GetSysColor(COLOR_WINDOW);
            EXPECT_EQ((std::vector<COLORREF>{text, back, back}), paint());

            const INT elements[] = {COLOR_WINDOWTEXT, COLOR_WINDOW};
            const COLORREF changed[] = {RGB(1, 2, 3), RGB(4, 5, 6)};
            const COLORREF previous[] = {text, back};
            ::SetSysColors(2, elements, changed); // tells every top-level window
            EXPECT_EQ((std::vector<COLORREF>{changed[0], changed[1], changed[1]}), paint());
            ::SetSysColors(2, elements, previous);
            ::DeleteDC(dc);
        });
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(AgreementDialogTest, StaysBusyUntilTheSetUpHasEndedAndThenClosesWithOk)
{
    const struct {
        const char* extraState;
        ResultCode result;
    } cases[] = {{"", Result::Success}, {"fail * INetFwOpenPorts::Add 0x80070005\n", Result::FirewallFailed}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        testsupport::SimFwStateFile state(std::string("delay INetFwOpenPorts::Add 1000\n") + c.extraState);
        FirewallTask running;
        running.GetPortConfig().ReadPortNumber();
        AgreementDialog fresh(nullptr);
        fresh.SetTask(&running);
        const INT_PTR result = uitest::RunModal(fresh, [](uitest::UiThread& ui, HWND window) {
            Agree(ui);
            ui.Send(IDOK, BM_CLICK, 0, 0);
            EXPECT_TRUE(ui.HasWaitCursor());
            EXPECT_TRUE(ui.IsPushed(IDOK));

            // Keys and left clicks are dropped; Esc and the close box are ignored.
            const int focus = ui.Focus();
            uitest::PostKey(ui.FocusWindow(), VK_TAB);
            uitest::PostKey(ui.FocusWindow(), VK_ESCAPE);
            uitest::PostClick(ui.Item(IDC_DISAGREE));
            ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            ui.Flush();
            ui.Flush(); // the close box posts its IDCANCEL in turn
            EXPECT_EQ(focus, ui.Focus());
            EXPECT_EQ(BST_UNCHECKED, ui.Send(IDC_DISAGREE, BM_GETCHECK, 0, 0));

            // The dialog manager's messages that share the notifications' numbers end nothing.
            ui.Run([&] {
                ::SendMessageA(window, DM_REPOSITION, 0, 0);
                ::SendMessageA(window, DM_SETDEFID, 0, 0);
            });
            EXPECT_TRUE(::IsWindow(window));

            // The mouse over a control brings back the wait cursor and the pushed OK.
            ui.Run([&] {
                ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
                ::SendMessageA(ui.Item(IDOK), BM_SETSTATE, FALSE, 0);
                EXPECT_TRUE(::SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(ui.Item(IDC_AGREE)),
                                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
            });
            EXPECT_TRUE(ui.HasWaitCursor());
            EXPECT_TRUE(ui.IsPushed(IDOK));
            EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window); }));
        });
        EXPECT_EQ(IDOK, result);
        EXPECT_EQ(c.result, running.GetResult());
        EXPECT_EQ(::LoadCursorA(nullptr, IDC_ARROW), ::GetCursor());
        EXPECT_EQ(c.result == Result::Success ? 2u : 0u, state.PortLines().size());
    }
}

TEST_F(AgreementDialogTest, IdleDialogLeavesTheDialogManagersMessagesToIt)
{
    const INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
        LRESULT defaultId = 0;
        ui.Run([&] {
            for (WPARAM id : {WPARAM{0}, WPARAM{IDCANCEL}}) {
                ::SendMessageA(window, DM_SETDEFID, id, 0);
                ::SendMessageA(window, DM_REPOSITION, 0, 0);
            }
            defaultId = ::SendMessageA(window, DM_GETDEFID, 0, 0);
        });
        EXPECT_EQ(MAKELRESULT(IDCANCEL, DC_HASDEFID), defaultId);
        EXPECT_FALSE(ui.IsPushed(IDOK)) << "not busy";
        uitest::PostKey(ui.FocusWindow(), VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(AgreementDialogTest, WithoutTheWorkersBeginCancelStillWaitsForTheWorkersEnd)
{
    // The worker already runs for another window: this dialog's start creates none and never
    // hears the begin, yet its Cancel may not end the dialog under the running worker.
    testsupport::SimFwStateFile state("delay INetFwOpenPorts::Add 1000\n");
    task.GetPortConfig().ReadPortNumber();
    HWND elsewhere = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    task.Start(elsewhere, RunMode::Setup);
    const INT_PTR result = uitest::RunModal(dialog, [&](uitest::UiThread& ui, HWND window) {
        Agree(ui);
        ui.Send(IDOK, BM_CLICK, 0, 0);
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        ui.Flush();
        EXPECT_FALSE(task.HasWorkerEnded());
        EXPECT_TRUE(::IsWindow(window));
        EXPECT_TRUE(ui.IsPushed(IDOK)) << "busy";
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window); }));
    });
    EXPECT_EQ(IDOK, result) << "the worker ran to its end";
    EXPECT_TRUE(task.HasWorkerEnded());
    ::DestroyWindow(elsewhere);
}

TEST(Readme, ShippedExplanationIsCodePage932WithCrLfAndNeedsScrolling)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof(path));
    const std::string name = std::string(path, std::strrchr(path, '\\') + 1) + "Readme.txt";
    fw::UniqueHandle file(::CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes(::GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ASSERT_TRUE(::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr));
    file.reset();

    std::string text;
    ASSERT_TRUE(fw::ReadTextFile(name.c_str(), text));
    EXPECT_EQ(bytes, text) << "every line ends with CR LF";
    EXPECT_NE(0, ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0));
    size_t lines = 0;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        ++lines;
    }
    EXPECT_GE(lines, 60u);
    EXPECT_NE(std::string::npos, text.find(uitest::Cp932(u8"Tessaly ドライバ配信 監視プログラム")));
    EXPECT_NE(std::string::npos, text.find("FirewallSetup.exe /D"));
}

} // namespace
