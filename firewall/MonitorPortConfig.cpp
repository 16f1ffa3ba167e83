#include "firewall/MonitorPortConfig.h"

#include "firewall/MonitorKey.h"
#include "firewall/MonitorPortName.h"
#include "firewall/ProfileSnapshot.h"
#include "framework/ProgramText.h"

#include <cstring>

namespace {

constexpr int32_t DefaultPortNumber = 58140;

} // namespace

int ReadRegistryDword(HKEY root, const char* subKey, const char* valueName, uint32_t& value)
{
    // The monitor's key is the only one whose values the program reads: its view applies.
    fw::UniqueRegKey key;
    if (::RegOpenKeyExA(root, subKey, 0, KEY_READ | MonitorKeyView, key.put()) != ERROR_SUCCESS) {
        return -1;
    }
    DWORD type = REG_NONE;
    BYTE data[4] = {};
    DWORD dataSize = sizeof data;
    const LONG status = ::RegQueryValueExA(key.get(), valueName, nullptr, &type, data, &dataSize);
    key.reset();
    // A value longer than 4 bytes fails here with ERROR_MORE_DATA, whatever its type.
    if (status != ERROR_SUCCESS) {
        return -1;
    }
    // A REG_DWORD of fewer than four bytes holds no whole number: it is read as no number at all.
    if (type != REG_DWORD || dataSize != sizeof data) {
        return -2;
    }
    std::memcpy(&value, data, sizeof value);
    return 0;
}

int MonitorPortConfig::ReadPortNumber()
{
    uint32_t value = 0;
    const int result = ReadRegistryDword(MonitorKeyRoot, MonitorKeyPath, PortNumberValue, value);
    // A value that was read is used as it is, without a range test.
    portNumber = result == 0 ? static_cast<int32_t>(value) : DefaultPortNumber;
    return result;
}

void MonitorPortConfig::GetPortNumber(int32_t& port) const
{
    port = portNumber;
}

int MonitorPortConfig::IsFirewallAvailable() const
{
    const HRESULT hr = ProbeFirewall();
    if (SUCCEEDED(hr)) {
        return 1;
    }
    return hr == E_ACCESSDENIED ? -1 : 0;
}

PortState MonitorPortConfig::QueryPortState(ProfileType profile, int32_t port, int32_t protocol) const
{
    ProfileSnapshot snapshot;
    if (FAILED(snapshot.Take(profile))) {
        return PortState::PortQueryFailed;
    }
    // The first port of that number and protocol decides, whatever its name.
    for (int32_t i = 0; i < snapshot.Count(); ++i) {
        const OpenPortRecord& record = snapshot.Record(i);
        if (record.port == port && record.protocol == protocol) {
            return record.enabled != 0 ? PortState::PortEnabled : PortState::PortDisabled;
        }
    }
    return PortState::PortAbsent;
}

ConfigStatus MonitorPortConfig::QueryConfigStatus() const
{
    const PortState domain = QueryPortState(ProfileType::Domain, portNumber, ProtocolUdp);
    const PortState standard = QueryPortState(ProfileType::Standard, portNumber, ProtocolUdp);
    if (domain == PortState::PortEnabled && standard == PortState::PortEnabled) {
        return ConfigStatus::NothingToDo;
    }
    if (domain == PortState::PortQueryFailed || standard == PortState::PortQueryFailed) {
        return ConfigStatus::StatusFailed;
    }
    return ConfigStatus::WorkNeeded;
}

int MonitorPortConfig::SetUpMonitorPort(int32_t port) const
{
    wchar_t name[64];
    if (::MultiByteToWideChar(fw::ProgramCodePage, 0, MonitorPortName, -1, name, 64) <= 0) {
        return -1;
    }
    // Both profiles are always tried; what succeeded stays done.
    const HRESULT domain = AddOrEnableOpenPort(ProfileType::Domain, name, IpVersionAny, ProtocolUdp, port,
                                               ScopeLocalSubnet, nullptr, true);
    const HRESULT standard = AddOrEnableOpenPort(ProfileType::Standard, name, IpVersionAny, ProtocolUdp, port,
                                                 ScopeLocalSubnet, nullptr, true);
    return FAILED(domain) || FAILED(standard) ? -1 : 0;
}
