#pragma once

enum class RunMode : int {
    Setup = 1,
    Remove = 2,
    Silent = 3,
};

// Outcome of a run; also the process exit code.
using ResultCode = int;

namespace Result {
constexpr ResultCode Success = 0;            // also a run the user stopped in a dialog
constexpr ResultCode AnotherInstance = 1;
constexpr ResultCode FirewallUnavailable = 2;
constexpr ResultCode NotAdministrator = 3;
constexpr ResultCode MonitorNotInstalled = 4;
constexpr ResultCode NothingToDo = 5;
constexpr ResultCode FirewallFailed = 6;
} // namespace Result
