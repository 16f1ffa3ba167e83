#pragma once

#include "task/RunMode.h"
#include "framework/App.h"
#include "framework/Handles.h"

// The application: all its work happens in InitInstance, which runs the one mode runner and
// then reports failure, so that no message loop runs; ExitInstance returns the run's code.
class FirewallSetupApp : public fw::App {
protected:
    bool InitInstance() override;
    int ExitInstance() override;

private:
    ResultCode RunSetupMode();
    ResultCode RunRemoveMode();
    ResultCode RunSilentMode();

    fw::UniqueHandle instanceEvent; // held while this instance runs
    ResultCode exitCode = Result::Success;
};
