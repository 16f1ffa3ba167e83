#include "Methods.h"

#include <cstring>

namespace simfw {

namespace {

const char* const kMethods[] = {
    "NetFwMgr::Create",
    "NetFwOpenPort::Create",
    "INetFwMgr::get_LocalPolicy",
    "INetFwPolicy::get_CurrentProfile",
    "INetFwPolicy::GetProfileByType",
    "INetFwProfile::get_GloballyOpenPorts",
    "INetFwOpenPorts::get_Count",
    "INetFwOpenPorts::Add",
    "INetFwOpenPorts::Remove",
    "INetFwOpenPorts::Item",
    "INetFwOpenPorts::get__NewEnum",
    "INetFwOpenPort::QueryInterface",
    "INetFwOpenPort::get_Name",
    "INetFwOpenPort::put_Name",
    "INetFwOpenPort::get_IpVersion",
    "INetFwOpenPort::put_IpVersion",
    "INetFwOpenPort::get_Protocol",
    "INetFwOpenPort::put_Protocol",
    "INetFwOpenPort::get_Port",
    "INetFwOpenPort::put_Port",
    "INetFwOpenPort::get_Scope",
    "INetFwOpenPort::put_Scope",
    "INetFwOpenPort::get_RemoteAddresses",
    "INetFwOpenPort::put_RemoteAddresses",
    "INetFwOpenPort::get_Enabled",
    "INetFwOpenPort::put_Enabled",
    "INetFwOpenPort::get_BuiltIn",
    "IEnumVARIANT::QueryInterface",
    "IEnumVARIANT::Next",
};

} // namespace

bool IsKnownMethod(const char* name)
{
    for (const char* method : kMethods) {
        if (std::strcmp(method, name) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace simfw
