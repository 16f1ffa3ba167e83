#pragma once

#include "framework/ListView.h"
#include "ui/BusyDialog.h"

class MonitorPortConfig;

// The screen of a Remove run: the monitor-named ports of both profiles, one row with a check
// box each. OK, enabled while a row is ticked, excludes the entries that are not ticked and
// starts the removal; the dialog closes by itself once the worker has ended. It ends with
// FillFailed when the list cannot be filled.
class PortRemovalDialog : public BusyDialog {
public:
    static constexpr INT_PTR FillFailed = 3;

    explicit PortRemovalDialog(HWND parent);
    ~PortRemovalDialog() override;

protected:
    void DoDataExchange(fw::DataExchange& exchange) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;

private:
    int FillPortList();
    void OnPortItemChanged();

    fw::ListView portList;
    MonitorPortConfig* config = nullptr;
    int entryCount = 0;
};
