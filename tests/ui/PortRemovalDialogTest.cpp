// The port removal dialog as a user meets it: the monitor-named ports with check boxes, OK only
// while one is ticked, and the unticked ones left alone by the removal.

#include "DialogDriver.h"
#include "task/FirewallTask.h"
#include "res/resource.h"
#include "support/SimFwStateFile.h"
#include "ui/PortRemovalDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Three entries after merging: Domain UDP 58140 (also in Standard), Domain TCP 80, Standard UDP 1234.
constexpr char Firewall[] = u8"current Standard\n"
                            u8"port Domain UDP 58140 enabled subnet any user - Tessaly ドライバ配信 監視プログラム\n"
                            u8"port Domain TCP 80 enabled subnet any user - Tessaly ドライバ配信 監視プログラム\n"
                            u8"port Standard UDP 58140 enabled subnet any user - Tessaly ドライバ配信 監視プログラム\n"
                            u8"port Standard UDP 1234 enabled subnet any user - Tessaly ドライバ配信 監視プログラム\n"
                            u8"port Standard TCP 8080 enabled all v4 user - Web server\n";

class PortRemovalDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ::InitCommonControls();
        ASSERT_TRUE(state.Ok());
        ASSERT_EQ(ConfigStatus::WorkNeeded, task.GetPortConfig().QueryRemovalStatus());
        dialog.SetTask(&task);
    }

    std::vector<int32_t> EntryPorts()
    {
        int32_t count = 0;
        task.GetPortConfig().GetRemovalCount(count);
        std::vector<int32_t> ports;
        for (int i = 0; i < count; ++i) {
            int32_t protocol = 0;
            int32_t port = 0;
            task.GetPortConfig().GetRemovalEntry(protocol, port, i);
            ports.push_back(port);
        }
        return ports;
    }

    testsupport::SimFwStateFile state{Firewall};
    FirewallTask task;
    PortRemovalDialog dialog{nullptr};
};

int StateImage(const uitest::UiThread& ui, int row)
{
    return static_cast<int>(ui.Send(IDC_PORT_LIST, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12);
}

void Tick(const uitest::UiThread& ui, int row, bool ticked)
{
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
    ui.Send(IDC_PORT_LIST, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void Select(const uitest::UiThread& ui, int row)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ui.Send(IDC_PORT_LIST, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

TEST_F(PortRemovalDialogTest, ListsThePortsUntickedWithOkDisabled)
{
    const INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
        ASSERT_EQ(3, ui.Send(IDC_PORT_LIST, LVM_GETITEMCOUNT, 0, 0));
        const char* rows[] = {"UDP 58140", "TCP 80", "UDP 1234"};
        for (int row = 0; row < 3; ++row) {
            char text[64] = {};
            LVITEMA item = {};
            item.iSubItem = 0;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            ui.Send(IDC_PORT_LIST, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            EXPECT_STREQ(rows[row], text);
            EXPECT_EQ(1, StateImage(ui, row)) << "unticked";
        }
        EXPECT_EQ(LVIS_SELECTED | LVIS_FOCUSED, ui.Send(IDC_PORT_LIST, LVM_GETITEMSTATE, 0, LVIS_SELECTED | LVIS_FOCUSED));
        EXPECT_FALSE(ui.IsEnabled(IDOK));

        char header[32] = {};
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_FMT;
        column.pszText = header;
        column.cchTextMax = sizeof(header);
        ui.Send(IDC_PORT_LIST, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        EXPECT_EQ(uitest::Cp932(u8"ポート"), header);
        EXPECT_EQ(LVCFMT_LEFT, column.fmt & LVCFMT_JUSTIFYMASK);
        RECT client = {};
        ::GetClientRect(ui.Item(IDC_PORT_LIST), &client);
        EXPECT_EQ(client.right - 20, ui.Send(IDC_PORT_LIST, LVM_GETCOLUMNWIDTH, 0, 0));
        EXPECT_EQ(LVS_EX_CHECKBOXES, ui.Send(IDC_PORT_LIST, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        uitest::PostKey(ui.FocusWindow(), VK_ESCAPE);
        (void)window;
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ((std::vector<int32_t>{58140, 80, 1234}), EntryPorts()) << "cancel excludes nothing";
}

TEST_F(PortRemovalDialogTest, OkFollowsTheTickedRows)
{
    uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
        // The space bar ticks the focused row, as a user would.
        EXPECT_EQ(IDC_PORT_LIST, ui.Focus());
        uitest::PostKey(ui.FocusWindow(), VK_SPACE);
        ui.Flush();
        EXPECT_EQ(2, StateImage(ui, 0));
        EXPECT_TRUE(ui.IsEnabled(IDOK));

        Select(ui, 2);
        EXPECT_TRUE(ui.IsEnabled(IDOK)) << "selecting another row changes nothing";
        Tick(ui, 2, true);
        Tick(ui, 0, false);
        EXPECT_TRUE(ui.IsEnabled(IDOK)) << "one row still ticked";
        Tick(ui, 2, false);
        EXPECT_FALSE(ui.IsEnabled(IDOK)) << "the last ticked row unticked";
        Select(ui, 1);
        EXPECT_FALSE(ui.IsEnabled(IDOK));
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(PortRemovalDialogTest, OkRemovesOnlyTheTickedPortWhileBusy)
{
    ASSERT_TRUE(state.Write(std::string(Firewall) + "delay INetFwOpenPorts::Remove 1000\n"));
    const INT_PTR result = uitest::RunModal(dialog, [](uitest::UiThread& ui, HWND window) {
        Tick(ui, 1, true);
        ui.Send(IDOK, BM_CLICK, 0, 0);
        ui.Flush();
        EXPECT_TRUE(ui.IsPushed(IDOK));
        EXPECT_TRUE(ui.HasWaitCursor());
        // The rows cannot be changed any more: keys go nowhere.
        uitest::PostKey(ui.FocusWindow(), VK_SPACE);
        uitest::PostKey(ui.FocusWindow(), VK_ESCAPE);
        ui.Flush();
        EXPECT_EQ(1, StateImage(ui, 0));
        EXPECT_TRUE(::IsWindow(window));
        EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(window); }));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(Result::Success, task.GetResult());
    EXPECT_EQ((std::vector<int32_t>{0, 80, 0}), EntryPorts());
    const std::vector<std::string> left = state.PortLines();
    EXPECT_EQ(4u, left.size());
    for (const std::string& line : left) {
        EXPECT_EQ(std::string::npos, line.find("TCP 80 ")) << line;
    }
}

} // namespace
