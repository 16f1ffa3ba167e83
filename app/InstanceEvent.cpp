#include "app/InstanceEvent.h"

#include "task/OsClass.h"

#include <vector>

namespace {

constexpr char EventName[] = "Patch::ZORVANE";
// The global namespace reaches the instances of other logged-on users (NT 5 and later).
constexpr char GlobalEventName[] = "Global\\Patch::ZORVANE";

// A well-known SID of the NT authority: S-1-5-<rids>.
struct WellKnownSid {
    WellKnownSid(DWORD first, DWORD second = 0)
    {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        const BYTE count = second != 0 ? 2 : 1;
        ::InitializeSid(sid, &nt, count);
        *::GetSidSubAuthority(sid, 0) = first;
        if (count == 2) {
            *::GetSidSubAuthority(sid, 1) = second;
        }
    }
    PSID get() { return sid; }

    BYTE sid[SECURITY_MAX_SID_SIZE] = {};
};

// Security of the event on NT 5 and later: a NULL DACL, so that the instances of every
// logged-on user can see it, an inheritable handle, and, where the caller may set it, the
// Administrators group as its owner: what tells another instance that the event is one of an
// administrator's instance (or a service's, which SYSTEM owns), not one that anybody created.
struct InstanceEventSecurity {
    SECURITY_DESCRIPTOR descriptor;
    SECURITY_ATTRIBUTES attributes;
    WellKnownSid administrators{SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS};
};

void InitInstanceEventSecurity(InstanceEventSecurity& security, bool ownedByAdministrators)
{
    ::InitializeSecurityDescriptor(&security.descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&security.descriptor, TRUE, nullptr, FALSE);
    if (ownedByAdministrators) {
        ::SetSecurityDescriptorOwner(&security.descriptor, security.administrators.get(), FALSE);
    }
    security.attributes.nLength = sizeof(SECURITY_ATTRIBUTES);
    security.attributes.lpSecurityDescriptor = &security.descriptor;
    security.attributes.bInheritHandle = TRUE;
}

// True when the event's owner is the Administrators group or SYSTEM; false when it is anyone
// else or cannot be read.
bool IsOwnedByAnInstance(HANDLE event)
{
    DWORD needed = 0;
    ::GetKernelObjectSecurity(event, OWNER_SECURITY_INFORMATION, nullptr, 0, &needed);
    if (needed == 0) {
        return false;
    }
    std::vector<BYTE> descriptor(needed);
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!::GetKernelObjectSecurity(event, OWNER_SECURITY_INFORMATION, descriptor.data(), needed, &needed) ||
        !::GetSecurityDescriptorOwner(descriptor.data(), &owner, &defaulted) || !owner) {
        return false;
    }
    WellKnownSid administrators(SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS);
    WellKnownSid system(SECURITY_LOCAL_SYSTEM_RID);
    return ::EqualSid(owner, administrators.get()) || ::EqualSid(owner, system.get());
}

} // namespace

int CreateInstanceEvent(fw::UniqueHandle& handle)
{
    // Unrecognised (all bits set) counts as NT 5 or later too.
    const bool global = GetOsClass() >= OsClasses::Nt5OrLater;
    if (!global) {
        HANDLE event = ::CreateEventA(nullptr, FALSE, FALSE, EventName);
        const DWORD error = ::GetLastError();
        handle.reset(event);
        return event != nullptr && error == ERROR_ALREADY_EXISTS ? 1 : 0;
    }
    InstanceEventSecurity security{};
    InitInstanceEventSecurity(security, true);
    HANDLE event = ::CreateEventA(&security.attributes, FALSE, FALSE, GlobalEventName);
    DWORD error = ::GetLastError();
    if (!event && error == ERROR_INVALID_OWNER) {
        // A user who is no administrator may not name that owner: the event gets the default one.
        InitInstanceEventSecurity(security, false);
        event = ::CreateEventA(&security.attributes, FALSE, FALSE, GlobalEventName);
        error = ::GetLastError();
    }
    handle.reset(event);
    // Anybody may create an event of that name first; only one that an instance owns counts.
    return event != nullptr && error == ERROR_ALREADY_EXISTS && IsOwnedByAnInstance(event) ? 1 : 0;
}
