#pragma once

#include "ui/BusyDialog.h"

#include <string>

class MonitorPortConfig;

// First screen of a Setup run: what the tool will do, with the monitor's actual UDP port.
// Next closes it with IDOK, Cancel with IDCANCEL; it never starts the worker.
class IntroDialog : public BusyDialog {
public:
    explicit IntroDialog(HWND parent);
    ~IntroDialog() override;

protected:
    void DoDataExchange(fw::DataExchange& exchange) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int notifyCode, int id, HWND control) override;

private:
    void OnNext();

    std::wstring portText;
    MonitorPortConfig* config = nullptr;
};
