#pragma once

#include "task/RunMode.h"
#include "framework/CommandLineInfo.h"

// Chooses the run mode from the arguments: "D" selects Remove and "S" Silent, each bare or
// behind one '-' or '/', in any letter case. Any other argument selects Setup.
class SetupCommandLine : public fw::CommandLineInfo {
public:
    ~SetupCommandLine() override = default;

    void ParseParam(const char* param, bool isSwitch, bool isLast) override;

    // Precedence after the last argument: another argument, then D, then S; none at all: Setup.
    RunMode GetRunMode() const;

private:
    bool sawOther = false;
    bool sawRemove = false;
    bool sawSilent = false;
};
