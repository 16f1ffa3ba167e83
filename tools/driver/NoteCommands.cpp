// note: a line of the script's own in the output, to tell its parts apart.
#include "Commands.h"

namespace {

bool Note(Session& session, const Invocation& invocation)
{
    session.Print("note " + invocation.rest);
    return true;
}

} // namespace

std::vector<Command> NoteCommands()
{
    return {{"note", Note}};
}
