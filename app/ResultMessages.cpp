#include "app/ResultMessages.h"

#include "framework/StringTable.h"
#include "res/resource.h"

#include <windows.h>

namespace {

void ShowMessage(UINT textId)
{
    // UTF-16 from the string table, shown as it is on every system code page.
    ::MessageBoxW(nullptr, fw::LoadText(textId).c_str(), fw::LoadText(IDS_CAPTION).c_str(), MB_OK);
}

UINT ErrorTextId(RunMode mode, ResultCode code)
{
    switch (code) {
    case Result::FirewallUnavailable:
        return IDS_OS_NOT_SUPPORTED;
    case Result::NotAdministrator:
        return IDS_NOT_ADMINISTRATOR;
    case Result::MonitorNotInstalled:
        return IDS_MONITOR_NOT_INSTALLED;
    case Result::NothingToDo:
        return mode == RunMode::Setup ? IDS_ALREADY_SET_UP : IDS_NOTHING_TO_REMOVE;
    case Result::FirewallFailed:
        return IDS_CHANGE_FAILED;
    default:
        return 0;
    }
}

} // namespace

void ShowSuccessMessage(RunMode mode)
{
    ShowMessage(mode == RunMode::Setup ? IDS_SETUP_DONE : IDS_REMOVAL_DONE);
}

void ShowErrorMessage(RunMode mode, ResultCode code)
{
    if (const UINT textId = ErrorTextId(mode, code)) {
        ShowMessage(textId);
    }
}
