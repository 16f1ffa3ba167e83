// event, waitevent: named kernel events the program creates.
#include "Commands.h"

#include <vector>

namespace {


// "null" for a NULL DACL (everyone has access), "none" without a DACL, else its ACE count.
std::string DaclOf(HANDLE event)
{
    DWORD needed = 0;
    ::GetKernelObjectSecurity(event, DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    std::vector<char> descriptor(needed);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (needed == 0 ||
        !::GetKernelObjectSecurity(event, DACL_SECURITY_INFORMATION, descriptor.data(), needed, &needed) ||
        !::GetSecurityDescriptorDacl(descriptor.data(), &present, &dacl, &defaulted)) {
        return "unreadable";
    }
    return !present ? "none" : !dacl ? "null" : std::to_string(dacl->AceCount) + "-aces";
}

bool Event(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() != 2) {
        return session.Fail("event needs a name");
    }
    const std::string& name = invocation.words[1];
    const fw::UniqueHandle event(::OpenEventA(READ_CONTROL | SYNCHRONIZE, FALSE, name.c_str()));
    if (!event) {
        session.Print("event " + name + " absent");
        return true;
    }
    session.Print("event " + name + " exists dacl=" + DaclOf(event.get()));
    return true;
}

bool WaitEvent(Session& session, const Invocation& invocation)
{
    long timeout = PatienceMs;
    if (invocation.words.size() < 2 || (invocation.words.size() > 2 && !ParseNumber(invocation.words[2], timeout))) {
        return session.Fail("waitevent needs a name and optionally a timeout in milliseconds");
    }
    const DWORD start = ::GetTickCount();
    while (!fw::UniqueHandle(::OpenEventA(SYNCHRONIZE, FALSE, invocation.words[1].c_str()))) {
        if (::GetTickCount() - start > static_cast<DWORD>(timeout)) {
            return session.Fail("no event " + invocation.words[1] + " within " + std::to_string(timeout) + " ms");
        }
        ::Sleep(20);
    }
    return true;
}

} // namespace

std::vector<Command> EventCommands()
{
    return {{"event", Event}, {"waitevent", WaitEvent}};
}
