#include "Commands.h"

#include <cstdlib>
#include <sstream>

namespace {

std::vector<Command> AllCommands()
{
    std::vector<Command> all;
    for (const auto& group : {ProgramCommands(), WindowCommands(), InputCommands(), EditCommands(),
                              ListViewCommands(), ScriptCommands(), IntruderCommands()}) {
        all.insert(all.end(), group.begin(), group.end());
    }
    return all;
}

} // namespace

bool ParseNumber(const std::string& text, long& value)
{
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 0);
    return *end == '\0';
}

bool RunCommand(Session& session, const std::string& line)
{
    Invocation invocation;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        invocation.words.push_back(word);
    }
    if (invocation.words.empty() || invocation.words[0][0] == '#') {
        return true;
    }
    const std::string& name = invocation.words[0];
    const size_t restStart = line.find_first_not_of(" \t", line.find(name) + name.size());
    invocation.rest = restStart == std::string::npos ? std::string() : line.substr(restStart);

    static const std::vector<Command> commands = AllCommands();
    for (const Command& command : commands) {
        if (name == command.name) {
            return command.run(session, invocation);
        }
    }
    return session.Fail("unknown command '" + name + "'");
}
