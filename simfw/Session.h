#pragma once

#include "FirewallState.h"

#include <memory>
#include <string>
#include <vector>

// The in-memory state shared by every object reached from one manager (or one free-standing
// port): read from the state file when the manager is created, written back after each change.
// Objects hold it through std::shared_ptr; it ends with the last of them.
namespace simfw {

class Session {
public:
    // Reads SIMFW_STATE's file. Never null; a file that cannot be read or understood gives a
    // broken session whose every call fails with E_FAIL (the reason went to stderr).
    static std::shared_ptr<Session> Load();

    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The gate in front of every call: E_FAIL for a broken session, then the `delay` of
    // `method`, then the first `fail` statement for `method` whose profile matches `binding`.
    // S_OK means go on; anything else is the call's result.
    HRESULT Enter(const char* method, const Binding& binding) const;
    // The gate in front of a class factory's CreateInstance: as Enter, with `unavailable`
    // (REGDB_E_CLASSNOTREG) checked after the delay.
    HRESULT EnterCreate(const char* method) const;

    // Every access to State() happens inside a Lock.
    class Lock {
    public:
        explicit Lock(const Session& session);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        const Session& session_;
    };

    FirewallState& State() { return state_; }

    // Writes the state back to the file (inside a Lock).
    HRESULT Save();

    // Anomalies for a collection with `binding` (inside a Lock).
    LONG Undercount(const Binding& binding) const;
    std::vector<const Statement*> NonPorts(const Binding& binding) const;
    // Appends the ports of matching `grow` statements and saves when there were any.
    HRESULT Grow(const Binding& binding);

private:
    Session();
    void Break(const std::string& reason);
    void Delay(const char* method) const;
    HRESULT Injected(const char* method, const Binding& binding) const;

    mutable CRITICAL_SECTION lock_;
    std::wstring path_;
    FirewallState state_;
    bool broken_ = false;
};

} // namespace simfw
