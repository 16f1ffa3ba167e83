#include "framework/CommandLineInfo.h"

namespace fw {

void CommandLineInfo::ParseArguments(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* param = argv[i];
        const bool isSwitch = param[0] == '-' || param[0] == '/';
        if (isSwitch) {
            ++param;
        }
        ParseParam(param, isSwitch, i + 1 == argc);
    }
}

} // namespace fw
