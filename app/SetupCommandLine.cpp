#include "app/SetupCommandLine.h"

#include <mbstring.h>

namespace {

// Whole-string, case-insensitive and double-byte aware, under the process's code page.
bool IsSwitch(const char* param, const char* name)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(param),
                    reinterpret_cast<const unsigned char*>(name)) == 0;
}

} // namespace

void SetupCommandLine::ParseParam(const char* param, bool, bool)
{
    if (IsSwitch(param, "D")) {
        sawRemove = true;
    } else if (IsSwitch(param, "S")) {
        sawSilent = true;
    } else {
        sawOther = true;
    }
}

RunMode SetupCommandLine::GetRunMode() const
{
    if (sawOther) {
        return RunMode::Setup;
    }
    if (sawRemove) {
        return RunMode::Remove;
    }
    if (sawSilent) {
        return RunMode::Silent;
    }
    return RunMode::Setup;
}
