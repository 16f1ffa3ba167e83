// The intro dialog as a user meets it: the port sentence with the monitor's port, and every
// way of leaving it.

#include "DialogDriver.h"
#include "task/FirewallTask.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "ui/IntroDialog.h"

#include <gtest/gtest.h>

namespace {

// The monitor's port number in the registry (32-bit view, where the monitor keeps it) for the
// length of a test.
class MonitorPortValue {
public:
    explicit MonitorPortValue(DWORD port)
    {
        DWORD disposition = 0;
        ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, Key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, key.put(),
                          &disposition);
        createdKey = disposition == REG_CREATED_NEW_KEY;
        ::RegSetValueExA(key.get(), "PortNumber", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&port), sizeof(port));
    }
    ~MonitorPortValue()
    {
        ::RegDeleteValueA(key.get(), "PortNumber");
        key.reset();
        if (createdKey) {
            ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, Key, KEY_WOW64_32KEY, 0);
        }
    }

private:
    static constexpr char Key[] = "SOFTWARE\\Veltra\\VOSKAR";
    fw::UniqueRegKey key;
    bool createdKey = false;
};

TEST(IntroDialog, NamesTheMonitorsPortAndWaitsOnNext)
{
    MonitorPortValue value(4321);
    FirewallTask task;
    task.GetPortConfig().ReadPortNumber();
    IntroDialog dialog(nullptr);
    dialog.SetTask(&task);
    const INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND) {
        const std::string sentence = ui.ItemText(IDC_PORT_TEXT);
        EXPECT_EQ(uitest::Cp932(u8"Tessaly ドライバ配信 監視プログラムが通信を行うために使用するUDP 4321 ポートを開きます。"),
                  sentence);
        EXPECT_EQ(std::string::npos, sentence.find(uitest::Cp932(u8"○○")));
        EXPECT_EQ(IDC_NEXT, ui.Focus());
        uitest::PostClick(::GetDlgItem(::GetParent(ui.FocusWindow()), IDC_NEXT));
    });
    EXPECT_EQ(IDOK, result);
}

struct LeaveCase {
    const char* name;
    void (*leave)(uitest::UiThread& ui, HWND window);
    INT_PTR result;
};

const LeaveCase LeaveCases[] = {
    {"Enter", [](uitest::UiThread& ui, HWND) { uitest::PostKey(ui.FocusWindow(), VK_RETURN); }, IDOK},
    {"Esc", [](uitest::UiThread& ui, HWND) { uitest::PostKey(ui.FocusWindow(), VK_ESCAPE); }, IDCANCEL},
    {"Cancel clicked", [](uitest::UiThread&, HWND window) { uitest::PostClick(::GetDlgItem(window, IDCANCEL)); },
     IDCANCEL},
    {"close box", [](uitest::UiThread&, HWND window) { ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); },
     IDCANCEL},
    {"an IDOK command changes nothing",
     [](uitest::UiThread& ui, HWND window) {
         ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
         ui.Flush();
         EXPECT_TRUE(::IsWindow(window));
         ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
     },
     IDCANCEL},
};

TEST(IntroDialog, EndsWithNextOrCancel)
{
    FirewallTask task;
    for (const LeaveCase& c : LeaveCases) {
        SCOPED_TRACE(c.name);
        IntroDialog dialog(nullptr);
        dialog.SetTask(&task);
        EXPECT_EQ(c.result, uitest::RunModal(dialog, c.leave));
    }
}

} // namespace
