#include "ui/PortRemovalDialog.h"

#include "firewall/MonitorPortConfig.h"
#include "framework/DataExchange.h"
#include "framework/StringTable.h"
#include "res/resource.h"

#include <string>

namespace {

constexpr int Ticked = 2;

} // namespace

PortRemovalDialog::PortRemovalDialog(HWND parent) : BusyDialog(IDD_PORT_REMOVAL, parent) {}

PortRemovalDialog::~PortRemovalDialog() = default;

void PortRemovalDialog::DoDataExchange(fw::DataExchange& exchange)
{
    BusyDialog::DoDataExchange(exchange);
    fw::DdxControl(exchange, IDC_PORT_LIST, portList);
}

BOOL PortRemovalDialog::OnInitDialog()
{
    BusyDialog::OnInitDialog();
    if (!FillPortList()) {
        EndDialog(FillFailed);
    }
    if (portList.GetItemCount() >= 1) {
        portList.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    // The rule also holds for a list without rows, where no change notification comes.
    OnPortItemChanged();
    return TRUE;
}

int PortRemovalDialog::FillPortList()
{
    int ok = 1;
    if (portList.InsertColumn(0, LVCFMT_LEFT, fw::LoadText(IDS_PORT_COLUMN).c_str()) == -1) {
        ok = 0;
    }
    RECT client = {};
    ::GetClientRect(portList.GetHwnd(), &client);
    if (!portList.SetColumnWidth(0, client.right - 20)) {
        ok = 0;
    }
    portList.SetExtendedStyle(0, LVS_EX_CHECKBOXES);

    config = &task->GetPortConfig();
    int32_t count = 0;
    config->GetRemovalCount(count);
    entryCount = count;
    for (int i = 0; i < entryCount; ++i) {
        int32_t protocol = 0;
        int32_t port = 0;
        config->GetRemovalEntry(protocol, port, i);
        std::wstring text;
        if (protocol == ProtocolTcp) {
            text = fw::FormatText(IDS_PORT_ROW_TCP, {port});
        } else if (protocol == ProtocolUdp) {
            text = fw::FormatText(IDS_PORT_ROW_UDP, {port});
        } else {
            // The firewall keeps TCP and UDP ports only; anything else shows its numbers.
            text = fw::FormatText(IDS_PORT_ROW_OTHER, {protocol, port});
        }
        if (portList.InsertItem(i, text.c_str()) == -1) {
            ok = 0;
        }
    }
    return ok;
}

bool PortRemovalDialog::OnNotify(int id, NMHDR* header, LRESULT& result)
{
    if (id == IDC_PORT_LIST && header->code == LVN_ITEMCHANGED) {
        OnPortItemChanged();
        result = 0;
        return true;
    }
    return BusyDialog::OnNotify(id, header, result);
}

void PortRemovalDialog::OnPortItemChanged()
{
    const int rows = portList.GetItemCount();
    bool anyTicked = false;
    for (int i = 0; i < rows && !anyTicked; ++i) {
        anyTicked = portList.GetStateImage(i) == Ticked;
    }
    ::EnableWindow(GetItem(IDOK), anyTicked ? TRUE : FALSE);
}

void PortRemovalDialog::OnOK()
{
    // The worker reads the list: once it was requested, the list stays as it is.
    if (HasStarted()) {
        return;
    }
    UpdateData(true);
    for (int i = 0; i < entryCount; ++i) {
        // Only a row the user ticked is removed; a row that is missing counts as unticked.
        if (portList.GetStateImage(i) != Ticked) {
            config->ExcludeRemovalEntry(i);
        }
    }
    StartRemoval();
    BusyDialog::OnOK();
}
