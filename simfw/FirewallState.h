#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// The simulated firewall's whole state as the state file describes it.
namespace simfw {

enum class Profile { Domain = 0, Standard = 1 };

// Which profile a call is made in: a profile-bound object remembers its profile and whether it
// was reached through the current-profile route (GetProfileByType(2), get_CurrentProfile).
// Objects without a profile (manager, policy, free-standing port) have bound == false.
struct Binding {
    bool bound = false;
    Profile profile = Profile::Standard;
    bool viaCurrent = false;
};

// PROFILE field of fail and anomaly statements.
enum class ProfileSelector { Domain, Standard, Current, Any };

inline bool Matches(ProfileSelector selector, const Binding& binding)
{
    switch (selector) {
    case ProfileSelector::Any:
        return true;
    case ProfileSelector::Current:
        return binding.bound && binding.viaCurrent;
    case ProfileSelector::Domain:
        return binding.bound && binding.profile == Profile::Domain;
    case ProfileSelector::Standard:
        return binding.bound && binding.profile == Profile::Standard;
    }
    return false;
}

// One globally open port. Defaults are those of a port object fresh from NetFwOpenPort::Create.
struct PortEntry {
    std::wstring name;
    LONG ipVersion = 2; // any
    LONG protocol = 6;  // TCP
    LONG port = 0;      // not set yet; Add refuses it
    LONG scope = 0;     // all
    std::wstring remoteAddresses; // empty: never set, the port reports its scope's list
    bool enabled = true;
    bool builtIn = false;
};

using PortList = std::vector<std::shared_ptr<PortEntry>>;

// What the `nonport` statement puts into an enumeration.
enum class NonPortKind {
    Object, // VT_DISPATCH holding an object without INetFwOpenPort
    Empty,  // VT_EMPTY
    Number, // VT_I4
};

enum class StatementKind { Fail, Delay, Unavailable, Undercount, NonPort, Grow };

// A statement other than `current` and `port`; written back as `text`, the line as it was read.
struct Statement {
    StatementKind kind = StatementKind::Fail;
    std::string text;
    ProfileSelector profile = ProfileSelector::Any;
    std::string method;     // fail, delay
    HRESULT result = S_OK;  // fail
    DWORD milliseconds = 0; // delay
    LONG count = 0;         // undercount, grow
    LONG index = 0;         // nonport
    NonPortKind nonPort = NonPortKind::Object;
    std::wstring name;      // grow
};

struct FirewallState {
    Profile current = Profile::Standard;
    PortList ports[2]; // indexed by Profile, in enumeration order
    std::vector<Statement> statements;

    PortList& PortsOf(Profile profile) { return ports[static_cast<int>(profile)]; }
};

} // namespace simfw
