// The agreement dialog as a user meets it: the explanation, reading it to its end, the choice,
// and the set-up running behind a busy dialog.

#include "DialogDriver.h"
#include "support/SimFwStateFile.h"
#include "app/FirewallTask.h"
#include "framework/TextFile.h"
#include "res/resource.h"
#include "ui/AgreementDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A current directory of its own with a "Readme.txt" long enough to need scrolling.
class AgreementDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ::GetCurrentDirectoryA(sizeof(previousDirectory), previousDirectory);
        char temp[MAX_PATH] = {};
        ::GetTempPathA(sizeof(temp), temp);
        ::GetTempFileNameA(temp, "agr", 0, directory);
        ::DeleteFileA(directory);
        ASSERT_TRUE(::CreateDirectoryA(directory, nullptr));
        ASSERT_TRUE(::SetCurrentDirectoryA(directory));
        for (int i = 1; i <= 80; ++i) {
            explanation += "line " + std::to_string(i) + "\n";
        }
        WriteReadme(explanation);
    }
    void TearDown() override
    {
        ::SetCurrentDirectoryA(previousDirectory);
        ::DeleteFileA((std::string(directory) + "\\Readme.txt").c_str());
        ::RemoveDirectoryA(directory);
    }

    static void WriteReadme(const std::string& bytes)
    {
        fw::UniqueHandle file(::CreateFileA("Readme.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

    std::string explanation;
    char directory[MAX_PATH] = {};
    char previousDirectory[MAX_PATH] = {};
};

int ScrollLimit(const uitest::UiThread& ui)
{
    int limit = 0;
    ui.Run([&] {
        SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
        ::GetScrollInfo(ui.Item(IDC_EXPLANATION), SB_VERT, &info);
        limit = info.nMax + 1 - static_cast<int>(info.nPage);
    });
    return limit;
}

void Scroll(const uitest::UiThread& ui, WORD code, int times = 1, int position = 0)
{
    for (int i = 0; i < times; ++i) {
        ui.Send(IDC_EXPLANATION, WM_VSCROLL, MAKEWPARAM(code, position), 0);
    }
}

// Scrolls to the end by thumb and picks the agreeing choice.
void Agree(const uitest::UiThread& ui)
{
    Scroll(ui, SB_THUMBTRACK, 1, ScrollLimit(ui));
    ui.Send(IDC_AGREE, BM_CLICK, 0, 0);
}

TEST_F(AgreementDialogTest, OpensWithTheExplanationAndNothingChosen)
{
    FirewallTask task;
    AgreementDialog dialog(nullptr);
    dialog.SetTask(&task);
    const INT_PTR result = uitest::RunModal(dialog, [&](uitest::UiThread& ui, HWND window) {
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
        DWORD start = 1;
        DWORD end = 1;
        ui.Send(IDC_EXPLANATION, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(0u, start);
        EXPECT_EQ(0u, end);
        EXPECT_EQ(0, ui.Send(IDC_EXPLANATION, EM_GETFIRSTVISIBLELINE, 0, 0));
        EXPECT_TRUE(ui.Style(IDC_DISAGREE) & WS_TABSTOP);
        EXPECT_FALSE(ui.Style(IDC_AGREE) & WS_TABSTOP);

        ui.Run([&] {
            LOGFONTA heading = {};
            ::GetObjectA(reinterpret_cast<HFONT>(::SendDlgItemMessageA(window, IDC_HEADING, WM_GETFONT, 0, 0)),
                         sizeof(heading), &heading);
            LOGFONTA other = {};
            ::GetObjectA(reinterpret_cast<HFONT>(::SendDlgItemMessageA(window, IDC_AGREE, WM_GETFONT, 0, 0)),
                         sizeof(other), &other);
            EXPECT_EQ(FW_BOLD, heading.lfWeight);
            EXPECT_EQ(0, other.lfWeight);
            EXPECT_STREQ(other.lfFaceName, heading.lfFaceName);
        });
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
    {"page by page to the end", [](const uitest::UiThread& ui, int limit) { Scroll(ui, SB_PAGEDOWN, limit); }, true},
    {"to the bottom at once", [](const uitest::UiThread& ui, int) { Scroll(ui, SB_BOTTOM); }, true},
    {"wheel turned to the end",
     [](const uitest::UiThread& ui, int limit) {
         for (int i = 0; i < limit; ++i) {
             ui.Send(IDC_EXPLANATION, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
         }
     },
     true},
    {"focus tabbed away and back, which selects the whole text",
     [](const uitest::UiThread& ui, int) {
         for (int i = 0; i < 3; ++i) {
             uitest::PostKey(ui.FocusWindow(), VK_TAB);
             ui.Flush();
         }
         EXPECT_EQ(IDC_EXPLANATION, ui.Focus());
     },
     false},
    {"down and up again",
     [](const uitest::UiThread& ui, int limit) {
         Scroll(ui, SB_PAGEDOWN, limit);
         Scroll(ui, SB_TOP);
     },
     true},
};

TEST_F(AgreementDialogTest, AgreeingIsPossibleOnlyAfterReadingToTheEnd)
{
    FirewallTask task;
    for (const ScrollCase& c : ScrollCases) {
        SCOPED_TRACE(c.name);
        AgreementDialog dialog(nullptr);
        dialog.SetTask(&task);
        uitest::RunModal(dialog, [&](uitest::UiThread& ui, HWND window) {
            const int limit = ScrollLimit(ui);
            ASSERT_GT(limit, 10);
            c.scroll(ui, limit);
            EXPECT_EQ(c.agreeEnabled, ui.IsEnabled(IDC_AGREE));
            EXPECT_FALSE(ui.IsEnabled(IDOK));
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        });
    }
}

TEST_F(AgreementDialogTest, TextInFullViewNeedsAScrollEventToo)
{
    WriteReadme("short\n");
    FirewallTask task;
    AgreementDialog dialog(nullptr);
    dialog.SetTask(&task);
    uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
        EXPECT_FALSE(ui.IsEnabled(IDC_AGREE));
        Scroll(ui, SB_LINEDOWN);
        EXPECT_TRUE(ui.IsEnabled(IDC_AGREE));
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(AgreementDialogTest, ExplanationThatCannotBeReadStaysEmpty)
{
    // Held open by someone else, the file cannot be opened without sharing.
    fw::UniqueHandle other(::CreateFileA("Readme.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    FirewallTask task;
    for (bool missing : {false, true}) {
        if (missing) {
            other.reset();
            ::DeleteFileA("Readme.txt");
        }
        AgreementDialog dialog(nullptr);
        dialog.SetTask(&task);
        uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
            EXPECT_EQ("", ui.ItemText(IDC_EXPLANATION));
            EXPECT_TRUE(ui.IsEnabled(IDC_DISAGREE));
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        });
    }
}

TEST_F(AgreementDialogTest, RefusingEndsWithCancelWhateverCameBefore)
{
    FirewallTask task;
    for (bool agreedFirst : {false, true}) {
        AgreementDialog dialog(nullptr);
        dialog.SetTask(&task);
        const INT_PTR result = uitest::RunModal(dialog, [&](uitest::UiThread& ui, HWND) {
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
    FirewallTask task;
    AgreementDialog dialog(nullptr);
    dialog.SetTask(&task);
    uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
        ui.Run([&] {
            HDC dc = ::CreateCompatibleDC(nullptr);
            HWND edit = ::GetDlgItem(window, IDC_EXPLANATION);
            const auto colours = [&](COLORREF& text, COLORREF& back, COLORREF& brush) {
                const auto handle = reinterpret_cast<HBRUSH>(
                    ::SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)));
                LOGBRUSH description = {};
                ::GetObjectA(handle, sizeof(description), &description);
                text = ::GetTextColor(dc);
                back = ::GetBkColor(dc);
                brush = description.lbColor;
            };
            COLORREF text = 0, back = 0, brush = 0;
            colours(text, back, brush);
            EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), text);
            EXPECT_EQ(::GetSysColor(COLOR_WINDOW), back);
            EXPECT_EQ(::GetSysColor(COLOR_WINDOW), brush);

            const INT elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
            const COLORREF previous[] = {::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_WINDOWTEXT)};
            const COLORREF changed[] = {RGB(1, 2, 3), RGB(4, 5, 6)};
            ::SetSysColors(2, elements, changed);
            colours(text, back, brush);
            ::SetSysColors(2, elements, previous);
            EXPECT_EQ(changed[1], text);
            EXPECT_EQ(changed[0], back);
            EXPECT_EQ(changed[0], brush);
            ::DeleteDC(dc);
        });
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
}

// The set-up worker meets a firewall that takes its time, so the busy dialog can be watched.
struct BusyCase {
    const char* name;
    const char* extraState;
    ResultCode result;
};

TEST_F(AgreementDialogTest, StaysBusyUntilTheSetUpHasEndedAndThenClosesWithOk)
{
    const BusyCase cases[] = {
        {"set-up succeeds", "", Result::Success},
        {"set-up fails", "fail * INetFwOpenPorts::Add 0x80070005\n", Result::FirewallFailed},
    };
    for (const BusyCase& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::SimFwStateFile state(std::string("current Standard\ndelay INetFwOpenPorts::Add 1500\n") + c.extraState);
        ASSERT_TRUE(state.Ok());
        FirewallTask task;
        task.GetPortConfig().ReadPortNumber();
        AgreementDialog dialog(nullptr);
        dialog.SetTask(&task);
        const INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
            Agree(ui);
            ui.Send(IDOK, BM_CLICK, 0, 0);
            ui.Flush();
            EXPECT_TRUE(ui.HasWaitCursor());
            EXPECT_TRUE(ui.IsPushed(IDOK));

            // Keys and left clicks are dropped; Esc and the close box are ignored.
            const int focus = ui.Focus();
            uitest::PostKey(ui.FocusWindow(), VK_TAB);
            uitest::PostKey(ui.FocusWindow(), VK_ESCAPE);
            uitest::PostClick(::GetDlgItem(window, IDC_DISAGREE));
            uitest::PostClick(::GetDlgItem(window, IDCANCEL));
            ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            ui.Flush();
            ui.Flush(); // the close box's IDCANCEL is posted in turn
            EXPECT_TRUE(::IsWindow(window));
            EXPECT_EQ(focus, ui.Focus());
            EXPECT_EQ(BST_UNCHECKED, ui.Send(IDC_DISAGREE, BM_GETCHECK, 0, 0));

            // The dialog manager's messages with the notifications' numbers end nothing.
            ui.Run([&] {
                ::SendMessageA(window, DM_REPOSITION, 0, 0);
                ::SendMessageA(window, DM_SETDEFID, 0, 0);
            });
            EXPECT_TRUE(::IsWindow(window));
            EXPECT_TRUE(ui.IsPushed(IDOK));

            // Moving the mouse over a control keeps the wait cursor and the pushed OK.
            ui.Run([&] { ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW)); });
            LRESULT handled = 0;
            ui.Run([&] {
                handled = ::SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(::GetDlgItem(window, IDC_AGREE)),
                                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            });
            EXPECT_TRUE(handled);
            EXPECT_TRUE(ui.HasWaitCursor());

            EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window); }));
        });
        EXPECT_EQ(IDOK, result);
        EXPECT_EQ(c.result, task.GetResult());
        EXPECT_EQ(::LoadCursorA(nullptr, IDC_ARROW), ::GetCursor());
        EXPECT_EQ(c.result == Result::Success ? 2u : 0u, state.PortLines().size());
    }
}

TEST_F(AgreementDialogTest, IdleDialogLeavesTheDialogManagersMessagesAlone)
{
    FirewallTask task;
    AgreementDialog dialog(nullptr);
    dialog.SetTask(&task);
    const INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
        LRESULT defaultId = 0;
        ui.Run([&] {
            ::SendMessageA(window, DM_SETDEFID, IDCANCEL, 0);
            ::SendMessageA(window, DM_REPOSITION, 0, 0);
            ::SendMessageA(window, DM_SETDEFID, 0, 0);
            ::SendMessageA(window, DM_REPOSITION, 0, 0);
            ::SendMessageA(window, DM_SETDEFID, IDCANCEL, 0);
            defaultId = ::SendMessageA(window, DM_GETDEFID, 0, 0);
        });
        EXPECT_EQ(MAKELRESULT(IDCANCEL, DC_HASDEFID), defaultId);
        EXPECT_TRUE(::IsWindow(window));
        EXPECT_FALSE(ui.IsPushed(IDOK));
        uitest::PostKey(ui.FocusWindow(), VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(AgreementDialogTest, WithoutTheWorkersBeginItLetsTheUserCancelAndStillWaitsForIt)
{
    // The worker already runs for another window, so this dialog's start creates none and
    // never hears its begin: the dialog must not stay busy, and a Cancel may not end it
    // under the running worker.
    testsupport::SimFwStateFile state("current Standard\ndelay INetFwOpenPorts::Add 2000\n");
    FirewallTask task;
    task.GetPortConfig().ReadPortNumber();
    HWND elsewhere = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    task.Start(elsewhere, RunMode::Setup);
    AgreementDialog dialog(nullptr);
    dialog.SetTask(&task);
    const INT_PTR result = uitest::RunModal(dialog, [&](uitest::UiThread& ui, HWND window) {
        Agree(ui);
        ui.Send(IDOK, BM_CLICK, 0, 0);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !ui.IsPushed(IDOK); }, 1500));
        EXPECT_FALSE(task.HasWorkerEnded());
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window); }));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(task.HasWorkerEnded());
    ::DestroyWindow(elsewhere);
}

// Takes every free piece of address space of 64 KiB or more, so that no thread stack fits
// and the task's worker cannot be created; gives it all back when released.
class AddressSpaceFiller {
public:
    AddressSpaceFiller() { blocks.reserve(8192); }
    ~AddressSpaceFiller() { Release(); }

    void Fill()
    {
        SIZE_T size = static_cast<SIZE_T>(1) << 30;
        while (size >= 64 * 1024 && blocks.size() < blocks.capacity()) {
            if (void* block = ::VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS)) {
                blocks.push_back(block);
            } else {
                size /= 2;
            }
        }
    }
    void Release()
    {
        for (void* block : blocks) {
            ::VirtualFree(block, 0, MEM_RELEASE);
        }
        blocks.clear();
    }

private:
    std::vector<void*> blocks;
};

TEST_F(AgreementDialogTest, WhenNoWorkerCanBeCreatedTheUserCanStillCancel)
{
    if (sizeof(void*) == 8) {
        GTEST_SKIP() << "filling 128 TiB of address space takes Wine over a minute; the x86 build covers it";
    }
    testsupport::SimFwStateFile state("current Standard\n");
    FirewallTask task;
    AgreementDialog dialog(nullptr);
    dialog.SetTask(&task);
    AddressSpaceFiller filler;
    const INT_PTR result = uitest::RunModal(dialog, [&](uitest::UiThread& ui, HWND window) {
        Agree(ui);
        HWND ok = ui.Item(IDOK);
        ui.Run([&] {
            filler.Fill();
            ::SendMessageA(ok, BM_CLICK, 0, 0);
            filler.Release();
        });
        EXPECT_TRUE(uitest::WaitUntil([&] { return !ui.IsPushed(IDOK); }, 2000)) << "no longer busy";
        EXPECT_FALSE(ui.HasWaitCursor());
        uitest::PostKey(ui.FocusWindow(), VK_ESCAPE);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window); }));
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_FALSE(task.HasWorkerEnded()) << "no worker ever ran";
    EXPECT_TRUE(state.PortLines().empty());
}

TEST(Readme, ShippedExplanationIsCodePage932WithCrLfAndNeedsScrolling)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string readme(path);
    readme = readme.substr(0, readme.find_last_of('\\') + 1) + "Readme.txt";

    fw::UniqueHandle file(::CreateFileA(readme.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, file.get());
    std::string bytes(::GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    file.reset();

    std::string text;
    ASSERT_TRUE(fw::ReadTextFile(readme.c_str(), text));
    EXPECT_EQ(bytes, text) << "every line ends with CR LF";
    EXPECT_NE(0, ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0))
        << "valid code page 932";
    size_t lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
        ++lines;
    }
    EXPECT_GE(lines, 60u);
    EXPECT_NE(std::string::npos, text.find(uitest::Cp932(u8"Tessaly ドライバ配信 監視プログラム")));
    EXPECT_NE(std::string::npos, text.find("/D"));
}

} // namespace
