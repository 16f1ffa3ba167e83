#pragma once

#include "Session.h"

#include <string>
#include <vector>

// One command line of a script: its words (the first is the command's name) and the text
// after the name, for commands that take the rest of the line as it is.
struct Invocation {
    std::vector<std::string> words;
    std::string rest;
};

struct Command {
    const char* name;
    // False when the command failed; it has printed why.
    bool (*run)(Session& session, const Invocation& invocation);
};

// The commands of each concern, one source file each.
std::vector<Command> ProgramCommands();
std::vector<Command> WindowCommands();
std::vector<Command> InputCommands();
std::vector<Command> EditCommands();
std::vector<Command> ListViewCommands();
std::vector<Command> ScriptCommands();
std::vector<Command> IntruderCommands();

// Runs one script line; empty lines and lines starting with '#' do nothing.
bool RunCommand(Session& session, const std::string& line);

// Parses a decimal number argument; false when it is not one.
bool ParseNumber(const std::string& text, long& value);
