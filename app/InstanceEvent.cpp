#include "app/InstanceEvent.h"

#include "task/OsClass.h"

namespace {

constexpr char EventName[] = "Patch::ZORVANE";
// The global namespace reaches the instances of other logged-on users (NT 5 and later).
constexpr char GlobalEventName[] = "Global\\Patch::ZORVANE";

// Security of the event on NT 5 and later: a NULL DACL, so that the instances of every
// logged-on user can see it, and an inheritable handle.
struct InstanceEventSecurity {
    SECURITY_DESCRIPTOR descriptor;
    SECURITY_ATTRIBUTES attributes;
};

void InitInstanceEventSecurity(InstanceEventSecurity& security)
{
    ::InitializeSecurityDescriptor(&security.descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&security.descriptor, TRUE, nullptr, FALSE);
    security.attributes.nLength = sizeof(SECURITY_ATTRIBUTES);
    security.attributes.lpSecurityDescriptor = &security.descriptor;
    security.attributes.bInheritHandle = TRUE;
}

} // namespace

int CreateInstanceEvent(fw::UniqueHandle& handle)
{
    // Unrecognised (all bits set) counts as NT 5 or later too.
    const bool global = GetOsClass() >= OsClasses::Nt5OrLater;
    InstanceEventSecurity security{};
    if (global) {
        InitInstanceEventSecurity(security);
    }
    HANDLE event = ::CreateEventA(global ? &security.attributes : nullptr, FALSE, FALSE,
                                  global ? GlobalEventName : EventName);
    const DWORD error = ::GetLastError();
    handle.reset(event);
    return event != nullptr && error == ERROR_ALREADY_EXISTS ? 1 : 0;
}
