#pragma once

namespace fw {

// The command-line hook: receives the program's arguments one by one, in order.
class CommandLineInfo {
public:
    CommandLineInfo() = default;
    virtual ~CommandLineInfo() = default;
    CommandLineInfo(const CommandLineInfo&) = delete;
    CommandLineInfo& operator=(const CommandLineInfo&) = delete;

    // param: the argument, without one leading '-' or '/' when it had one (isSwitch is then
    // true); isLast: no argument follows.
    virtual void ParseParam(const char* param, bool isSwitch, bool isLast) = 0;

    // Hands argv[1] .. argv[argc - 1] to ParseParam; argv[0] is the program name.
    void ParseArguments(int argc, const char* const* argv);
};

} // namespace fw
