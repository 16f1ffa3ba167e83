// NOADMIN1.dll: stands in for advapi32 in the seam copy of FirewallSetup.exe. Its .def forwards
// every other function the program imports to advapi32 unchanged.
#include <windows.h>

namespace {

// What a limited user on Windows XP may ask of the service control manager.
constexpr DWORD UserAccess = SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE | SC_MANAGER_QUERY_LOCK_STATUS |
                             STANDARD_RIGHTS_READ;

} // namespace

// OpenSCManagerA as Windows answers a user who is no administrator: any access beyond a user's
// is denied; a user's own access is granted by the real advapi32.
extern "C" SC_HANDLE WINAPI NoAdminOpenSCManagerA(LPCSTR machine, LPCSTR database, DWORD desiredAccess)
{
    if (desiredAccess & ~UserAccess) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return ::OpenSCManagerA(machine, database, desiredAccess);
}
