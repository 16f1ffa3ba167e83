// The wizard's dialogs from inside, where the end-to-end scenarios cannot look: the ways of
// scrolling that the driver does not use, fonts, tab stops, colours, the list's column and check
// boxes, the busy state while the worker runs and a port list that cannot be filled.

#include "DialogDriver.h"
#include "framework/CommonControls.h"
#include "framework/Control.h"
#include "res/resource.h"
#include "support/SimFwStateFile.h"
#include "task/FirewallTask.h"
#include "ui/AgreementDialog.h"
#include "ui/IntroDialog.h"
#include "ui/PortRemovalDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Two monitor-named ports, so that the list has a first row and more.
constexpr char TwoMonitorPorts[] = u8"port Domain UDP 58140 enabled subnet any user - Tessaly ドライバ配信 監視プログラム\n"
                                   u8"port Domain TCP 80 enabled subnet any user - Tessaly ドライバ配信 監視プログラム\n";

// Each test runs in a folder of its own holding a Readme.txt of 80 lines, which needs
// scrolling, against a firewall state file of its own.
class Dialogs : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fw::LoadCommonControls(ICC_LISTVIEW_CLASSES));
        ASSERT_TRUE(state.Ok());
        ::GetCurrentDirectoryA(sizeof(previous), previous);
        ::GetTempPathA(sizeof(folder), folder);
        ::GetTempFileNameA(std::string(folder).c_str(), "dlg", 0, folder);
        ::DeleteFileA(folder);
        ASSERT_TRUE(::CreateDirectoryA(folder, nullptr) && ::SetCurrentDirectoryA(folder));
        std::ofstream readme("Readme.txt", std::ios::binary);
        for (int i = 1; i <= 80; ++i) {
            readme << "line " << i << "\n";
        }
        ASSERT_TRUE(readme.flush());
    }
    void TearDown() override
    {
        ::SetCurrentDirectoryA(previous);
        ::DeleteFileA((std::string(folder) + "\\Readme.txt").c_str());
        ::RemoveDirectoryA(folder);
    }

    char folder[MAX_PATH] = {};
    char previous[MAX_PATH] = {};
    testsupport::SimFwStateFile state;
    FirewallTask task;
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
        ui.Send(IDC_EXPLANATION, WM_VSCROLL, MAKEWPARAM(code, position));
    }
}

// Under Wine a click of the choice while it is disabled never returns, hence the check first.
void Agree(const uitest::UiThread& ui)
{
    Scroll(ui, SB_THUMBTRACK, 1, ScrollLimit(ui));
    ASSERT_TRUE(ui.IsEnabled(IDC_AGREE)) << "the end of the text enables the agreeing choice";
    ui.Send(IDC_AGREE, BM_CLICK);
}

struct ReadingCase {
    const char* name;
    void (*read)(const uitest::UiThread& ui, int limit);
    bool agreeEnabled;
};

const ReadingCase ReadingCases[] = {
    {"wheel turned to the end",
     [](const uitest::UiThread& ui, int limit) {
         for (int i = 0; i < limit; ++i) {
             ui.Send(IDC_EXPLANATION, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA));
         }
     },
     true},
    {"Down arrow to the last line",
     [](const uitest::UiThread& ui, int) {
         for (int i = static_cast<int>(ui.Send(IDC_EXPLANATION, EM_GETLINECOUNT)); i > 1; --i) {
             uitest::PostKey(ui.Item(IDC_EXPLANATION), VK_DOWN);
         }
         ui.Flush();
     },
     true},
    {"line by line, one short", [](const uitest::UiThread& ui, int limit) { Scroll(ui, SB_LINEDOWN, limit - 1); },
     false},
    {"page by page to the end, then back to the top",
     [](const uitest::UiThread& ui, int limit) {
         Scroll(ui, SB_PAGEDOWN, limit);
         Scroll(ui, SB_TOP);
     },
     true},
    {"a selection dragged past the bottom, which scrolls the view to the end by itself",
     [](const uitest::UiThread& ui, int limit) {
         Scroll(ui, SB_THUMBPOSITION, 1, limit - 1);
         HWND edit = ui.Item(IDC_EXPLANATION);
         RECT client = {};
         ::GetClientRect(edit, &client);
         const LPARAM outside = MAKELPARAM(client.right + 20, client.bottom + 20);
         ::PostMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 2, client.bottom - 2));
         ::PostMessageA(edit, WM_MOUSEMOVE, MK_LBUTTON, outside);
         EXPECT_TRUE(uitest::WaitUntil([&] { return ui.Send(IDC_EXPLANATION, EM_GETFIRSTVISIBLELINE) == limit; }));
         ::PostMessageA(edit, WM_LBUTTONUP, 0, outside);
         ui.Flush();
     },
     false},
};

TEST_F(Dialogs, AgreeIsEnabledOnlyOnceTheReaderScrolledToTheEnd)
{
    for (const ReadingCase& c : ReadingCases) {
        AgreementDialog dialog(nullptr);
        dialog.SetTask(&task);
        const INT_PTR result = uitest::RunModal(dialog, [&](uitest::UiThread& ui, HWND window) {
            SCOPED_TRACE(c.name); // the script's thread is where its checks fail
            const int limit = ScrollLimit(ui);
            ASSERT_GT(limit, 10);
            c.read(ui, limit);
            EXPECT_EQ(c.agreeEnabled, ui.IsEnabled(IDC_AGREE));
            EXPECT_FALSE(ui.IsEnabled(IDOK));
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(IDCANCEL, result) << c.name;
    }
}

TEST_F(Dialogs, IdleAgreementHasItsFontsTabStopAndColoursAndLeavesTheDialogManagersMessagesAlone)
{
    AgreementDialog dialog(nullptr);
    dialog.SetTask(&task);
    const INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
        ui.Run([&] {
            // Every text in the dialog's font, the heading in its bold.
            const auto font = [](HWND w) {
                LOGFONTW f = {};
                ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(w, WM_GETFONT, 0, 0)), sizeof(f), &f);
                return std::make_tuple(std::wstring(f.lfFaceName), f.lfHeight, f.lfWeight);
            };
            const auto [face, height, weight] = font(window);
            for (HWND c = ::GetWindow(window, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
                const LONG expected = ::GetDlgCtrlID(c) == IDC_HEADING ? FW_BOLD : weight;
                EXPECT_EQ(std::make_tuple(face, height, expected), font(c)) << "control " << ::GetDlgCtrlID(c);
            }
            // Shown, the refusing choice is a tab stop (the scenarios' Tab reaches it), the agreeing
            // one not, so that Tab stops once in the group even when both are enabled.
            EXPECT_EQ(0, ::GetWindowLongA(ui.Item(IDC_AGREE), GWL_STYLE) & WS_TABSTOP);

            const std::unique_ptr<std::remove_pointer_t<HDC>, decltype(&::DeleteDC)> dc(::CreateCompatibleDC(nullptr),
                                                                                        &::DeleteDC);
            // What the explanation is told to paint with: text, background and brush colour.
            const auto paint = [&] {
                LOGBRUSH brush = {};
                ::GetObjectA(reinterpret_cast<HBRUSH>(::SendMessageA(window, WM_CTLCOLORSTATIC,
                                                                     reinterpret_cast<WPARAM>(dc.get()),
                                                                     reinterpret_cast<LPARAM>(ui.Item(IDC_EXPLANATION)))),
                             sizeof(brush), &brush);
                return std::vector<COLORREF>{::GetTextColor(dc.get()), ::GetBkColor(dc.get()), brush.lbColor};
            };
            const INT elements[] = {COLOR_WINDOWTEXT, COLOR_WINDOW};
            const COLORREF previous[] = {::GetSysColor(COLOR_WINDOWTEXT), ::GetSysColor(COLOR_WINDOW)};
            EXPECT_EQ((std::vector<COLORREF>{previous[0], previous[1], previous[1]}), paint());
            const COLORREF changed[] = {RGB(1, 2, 3), RGB(4, 5, 6)};
            ::SetSysColors(2, elements, changed); // tells every top-level window
            EXPECT_EQ((std::vector<COLORREF>{changed[0], changed[1], changed[1]}), paint());
            ::SetSysColors(2, elements, previous);

            // These share their numbers with the worker's notifications.
            for (WPARAM id : {WPARAM{0}, WPARAM{IDCANCEL}}) {
                ::SendMessageA(window, DM_SETDEFID, id, 0);
                ::SendMessageA(window, DM_REPOSITION, 0, 0);
            }
            EXPECT_EQ(MAKELRESULT(IDCANCEL, DC_HASDEFID), ::SendMessageA(window, DM_GETDEFID, 0, 0));
        });
        EXPECT_FALSE(ui.IsPushed(IDOK)) << "not busy";
        uitest::PostKey(ui.FocusWindow(), VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(Dialogs, BusyAgreementSwallowsInputUntilTheSetUpHasEnded)
{
    // Each of the set-up's two additions takes 1.5 s: time for the input below.
    ASSERT_TRUE(state.Write("delay INetFwOpenPorts::Add 1500\n"));
    task.GetPortConfig().ReadPortNumber();
    AgreementDialog dialog(nullptr);
    dialog.SetTask(&task);
    const INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
        ASSERT_NO_FATAL_FAILURE(Agree(ui));
        ui.Send(IDOK, BM_CLICK);
        EXPECT_TRUE(ui.HasWaitCursor());
        EXPECT_TRUE(ui.IsPushed(IDOK));

        // Keys and left clicks are dropped, for the dialog and its controls; the close box
        // (its IDCANCEL is posted in turn, hence two flushes) is ignored.
        const HWND focus = ui.FocusWindow();
        uitest::PostKey(focus, VK_TAB);
        uitest::PostClick(ui.Item(IDC_DISAGREE));
        ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        ui.Flush();
        ui.Flush();
        EXPECT_EQ(focus, ui.FocusWindow());
        EXPECT_EQ(BST_UNCHECKED, ui.Send(IDC_DISAGREE, BM_GETCHECK));

        // The mouse over a control brings back the wait cursor and the pushed OK.
        ui.Run([&] {
            ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
            ::SendMessageA(ui.Item(IDOK), BM_SETSTATE, FALSE, 0);
            ::SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(ui.Item(IDC_AGREE)),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        });
        EXPECT_TRUE(ui.HasWaitCursor());
        EXPECT_TRUE(ui.IsPushed(IDOK));
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window); }));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(Result::Success, task.GetResult());
    EXPECT_EQ(::LoadCursorA(nullptr, IDC_ARROW), ::GetCursor());
}

TEST_F(Dialogs, CancelRightAfterOkWaitsForTheWorkerEvenBeforeItsBegin)
{
    // The worker already runs for another window, so the dialog never hears its begin: only
    // the request itself makes the dialog busy.
    ASSERT_TRUE(state.Write("delay INetFwOpenPorts::Add 1500\n"));
    task.GetPortConfig().ReadPortNumber();
    const uitest::UniqueWindow elsewhere(
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(task.Start(elsewhere.get(), RunMode::Setup));
    AgreementDialog dialog(nullptr);
    dialog.SetTask(&task);
    const INT_PTR result = uitest::RunModal(dialog, [&](uitest::UiThread& ui, HWND window) {
        ASSERT_NO_FATAL_FAILURE(Agree(ui));
        ui.Send(IDOK, BM_CLICK);
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window); }));
    });
    EXPECT_EQ(IDOK, result) << "Cancel ended the dialog under the running worker";
    EXPECT_TRUE(task.HasWorkerEnded());
}

TEST_F(Dialogs, RemovalListHasItsColumnAndCheckBoxesAndSpaceTicksTheFocusedFirstRow)
{
    ASSERT_TRUE(state.Write(TwoMonitorPorts));
    ASSERT_EQ(ConfigStatus::WorkNeeded, task.GetPortConfig().QueryRemovalStatus());
    PortRemovalDialog dialog(nullptr);
    dialog.SetTask(&task);
    const INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
        wchar_t header[16] = {};
        LVCOLUMNW column = {LVCF_TEXT, 0, 0, header, ARRAYSIZE(header), 0, 0, 0};
        ui.Send(IDC_PORT_LIST, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        EXPECT_EQ(std::wstring(L"ポート"), header);
        RECT client = {};
        ::GetClientRect(ui.Item(IDC_PORT_LIST), &client);
        EXPECT_EQ(client.right - 20, ui.Send(IDC_PORT_LIST, LVM_GETCOLUMNWIDTH));
        EXPECT_EQ(LVS_EX_CHECKBOXES, ui.Send(IDC_PORT_LIST, LVM_GETEXTENDEDLISTVIEWSTYLE));
        EXPECT_FALSE(ui.IsEnabled(IDOK));
        uitest::PostKey(ui.FocusWindow(), VK_SPACE);
        ui.Flush();
        EXPECT_EQ(INDEXTOSTATEIMAGEMASK(2), ui.Send(IDC_PORT_LIST, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK));
        EXPECT_TRUE(ui.IsEnabled(IDOK));
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, result);
}

// A removal dialog whose list answers one message with -1, as a list view short of memory would.
class FailingListDialog : public PortRemovalDialog {
public:
    explicit FailingListDialog(UINT message) : PortRemovalDialog(nullptr) { failingMessage = message; }

protected:
    BOOL OnInitDialog() override
    {
        listProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(GetItem(IDC_PORT_LIST), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FailingProc)));
        return PortRemovalDialog::OnInitDialog();
    }

private:
    static LRESULT CALLBACK FailingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return message == failingMessage ? -1 : ::CallWindowProcW(listProc, window, message, wParam, lParam);
    }

    static inline WNDPROC listProc = nullptr;
    static inline UINT failingMessage = 0;
};

TEST_F(Dialogs, RemovalListThatCannotBeFilledIsNeverShown)
{
    ASSERT_TRUE(state.Write(TwoMonitorPorts));
    ASSERT_EQ(ConfigStatus::WorkNeeded, task.GetPortConfig().QueryRemovalStatus());
    for (UINT message : {UINT{LVM_INSERTCOLUMNW}, UINT{LVM_INSERTITEMW}}) {
        FailingListDialog dialog(message);
        dialog.SetTask(&task);
        // The dialog may flash up between its creation and the end of its loop; it must not stay.
        const INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
            ui.Flush();
            EXPECT_FALSE(::IsWindow(window)) << "the list was shown";
        });
        EXPECT_EQ(PortRemovalDialog::FillFailed, result) << "failing message " << message;
    }
}

// --- At the display scale the test runs at (ui_dialogs_dpi144, ui_dialogs_dpi192) --------------

// The work area of a 1366 x 768 screen less the 40 pixels of a bottom taskbar.
constexpr LONG WorkWidth = 1366;
constexpr LONG WorkHeight = 728;

// What a control's text needs of its client area, drawn with the control's own font: a static's
// text wrapped to its width, a button's on one line, a radio button's beside its circle.
SIZE NeededFor(HWND control, bool isStatic, const RECT& client)
{
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    const bool isRadio = !isStatic && (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
    wchar_t text[512] = {};
    const int length = ::GetWindowTextW(control, text, ARRAYSIZE(text));
    HDC dc = ::GetDC(control);
    const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
    // The circle and the gap after it, as the system draws them at this scale.
    const LONG mark = isRadio ? ::MulDiv(13 + 4, dpi, 96) : 0;
    RECT needed = {0, 0, isStatic ? client.right : 0, 0};
    ::DrawTextW(dc, text, length, &needed, DT_CALCRECT | (isStatic ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return SIZE{needed.right + mark, needed.bottom};
}

// Every text of the window's statics and buttons whole within its control, the window within
// the work area, and the list's column without a horizontal scroll bar; one line per problem.
std::string LayoutProblems(HWND window)
{
    std::string problems;
    RECT frame = {};
    ::GetWindowRect(window, &frame);
    if (frame.right - frame.left > WorkWidth || frame.bottom - frame.top > WorkHeight) {
        problems += "window " + std::to_string(frame.right - frame.left) + "x" + std::to_string(frame.bottom - frame.top) +
                    " beyond the work area\n";
    }
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        ::GetClassNameW(child, className, ARRAYSIZE(className));
        RECT client = {};
        ::GetClientRect(child, &client);
        const int id = ::GetDlgCtrlID(child);
        if (::lstrcmpiW(className, L"SysListView32") == 0) {
            if (::GetWindowLongW(child, GWL_STYLE) & WS_HSCROLL) {
                problems += "list " + std::to_string(id) + " scrolls sideways\n";
            }
            continue;
        }
        const bool isStatic = ::lstrcmpiW(className, L"Static") == 0;
        if (!isStatic && ::lstrcmpiW(className, L"Button") != 0) {
            continue;
        }
        const SIZE needed = NeededFor(child, isStatic, client);
        if (needed.cx > client.right || needed.cy > client.bottom) {
            problems += "control " + std::to_string(id) + " needs " + std::to_string(needed.cx) + "x" +
                        std::to_string(needed.cy) + ", has " + std::to_string(client.right) + "x" +
                        std::to_string(client.bottom) + "\n";
        }
    }
    return problems;
}

TEST_F(Dialogs, EveryDialogFitsAndShowsItsTextsWholeAtTheDisplayScale)
{
    // The scale the variant asked tools/wine for (FWSETUP_DPI); the program is DPI-aware, so its
    // windows are laid out in this many pixels per inch.
    char asked[8] = "96";
    ::GetEnvironmentVariableA("FWSETUP_DPI", asked, sizeof(asked));
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    ASSERT_EQ(std::atoi(asked), dpi);

    ASSERT_TRUE(state.Write(TwoMonitorPorts));
    ASSERT_EQ(ConfigStatus::WorkNeeded, task.GetPortConfig().QueryRemovalStatus());
    const auto check = [dpi](const char* name) {
        return [name, dpi](uitest::UiThread& ui, HWND window) {
            EXPECT_EQ("", ui.Ask([&] { return LayoutProblems(window); })) << name << " at " << dpi << " DPI";
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        };
    };
    IntroDialog intro(nullptr);
    intro.SetTask(&task);
    uitest::RunModal(intro, check("intro"));
    AgreementDialog agreement(nullptr);
    agreement.SetTask(&task);
    uitest::RunModal(agreement, check("agreement"));
    PortRemovalDialog removal(nullptr);
    removal.SetTask(&task);
    uitest::RunModal(removal, check("removal"));
}

// A window of another thread (of another process, on a real desktop) that carries the
// framework's control property, naming an object of its own: named in a command, a colour
// message or a notification sent to the dialog, it is no control of the dialog's, and nothing is
// called through what the property holds. (A wild pointer there would prove nothing: the system
// swallows the access violation inside a window procedure and the dialog goes on.)
struct Decoy : fw::Control {
    bool OnReflectedCommand(int) override
    {
        ++calls;
        return true;
    }
    HBRUSH OnReflectedCtlColor(HDC, UINT) override
    {
        ++calls;
        return nullptr;
    }
    std::atomic<int> calls{0};
};

TEST_F(Dialogs, MessagesNamingAnotherThreadsWindowChangeNothing)
{
    AgreementDialog dialog(nullptr);
    dialog.SetTask(&task);
    Decoy decoy;
    const INT_PTR result = uitest::RunModal(dialog, [&decoy](uitest::UiThread&, HWND window) {
        const uitest::UniqueWindow foreign(
            ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, window, nullptr, nullptr, nullptr));
        ASSERT_TRUE(foreign);
        ASSERT_TRUE(::SetPropA(foreign.get(), "fw.Control", &decoy));
        const auto named = reinterpret_cast<LPARAM>(foreign.get());
        HDC dc = ::GetDC(foreign.get());
        ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), named);
        for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}) {
            ::SendMessageA(window, message, reinterpret_cast<WPARAM>(dc), named);
        }
        ::SendMessageA(window, WM_NOTIFY, IDC_EXPLANATION, static_cast<LPARAM>(0x41414140));
        ::ReleaseDC(foreign.get(), dc);
        ::RemovePropA(foreign.get(), "fw.Control");
        EXPECT_EQ(0, decoy.calls.load()) << "called through the foreign window's property";
        EXPECT_TRUE(::IsWindow(window)) << "the foreign Cancel ended the dialog";
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, result);
}

} // namespace
