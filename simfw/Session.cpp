#include "Session.h"

#include "StateFile.h"
#include "StateFormat.h"
#include "Utf.h"

#include <cstdio>

namespace simfw {

namespace {

// Numbers that `grow` gives its ports: the first free UDP numbers from here on.
const LONG kFirstGrownPort = 20000;

bool PortInUse(const PortList& list, LONG port, LONG protocol)
{
    for (const auto& entry : list) {
        if (entry->port == port && entry->protocol == protocol) {
            return true;
        }
    }
    return false;
}

} // namespace

Session::Session()
{
    ::InitializeCriticalSection(&lock_);
}

Session::~Session()
{
    ::DeleteCriticalSection(&lock_);
}

std::shared_ptr<Session> Session::Load()
{
    std::shared_ptr<Session> session(new Session());
    session->path_ = StateFilePath();
    if (session->path_.empty()) {
        session->Break("SIMFW_STATE is not set");
        return session;
    }
    std::string text;
    bool exists = false;
    HRESULT hr = ReadStateFile(session->path_, text, exists);
    if (FAILED(hr)) {
        char reason[64];
        std::snprintf(reason, sizeof reason, "cannot read the file (0x%08lx)", static_cast<unsigned long>(hr));
        session->Break(reason);
        return session;
    }
    std::string error;
    if (exists && !ParseState(text, session->state_, error)) {
        session->Break(error);
    }
    return session;
}

void Session::Break(const std::string& reason)
{
    broken_ = true;
    std::string file;
    WideToUtf8(path_, file);
    std::string message = "simfw: " + file + ": " + reason + "\n";
    ::OutputDebugStringA(message.c_str());
    HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    if (error && error != INVALID_HANDLE_VALUE) {
        ::WriteFile(error, message.data(), static_cast<DWORD>(message.size()), &written, nullptr);
    }
}

// Statements never change after loading, so the gates read them without the lock.
void Session::Delay(const char* method) const
{
    for (const Statement& statement : state_.statements) {
        if (statement.kind == StatementKind::Delay && statement.method == method) {
            ::Sleep(statement.milliseconds);
        }
    }
}

HRESULT Session::Injected(const char* method, const Binding& binding) const
{
    for (const Statement& statement : state_.statements) {
        if (statement.kind == StatementKind::Fail && statement.method == method && Matches(statement.profile, binding)) {
            return statement.result;
        }
    }
    return S_OK;
}

HRESULT Session::Enter(const char* method, const Binding& binding) const
{
    if (broken_) {
        return E_FAIL;
    }
    Delay(method);
    return Injected(method, binding);
}

HRESULT Session::EnterCreate(const char* method) const
{
    if (broken_) {
        return E_FAIL;
    }
    Delay(method);
    for (const Statement& statement : state_.statements) {
        if (statement.kind == StatementKind::Unavailable) {
            return REGDB_E_CLASSNOTREG;
        }
    }
    return Injected(method, Binding());
}

Session::Lock::Lock(const Session& session) : session_(session)
{
    ::EnterCriticalSection(&session_.lock_);
}

Session::Lock::~Lock()
{
    ::LeaveCriticalSection(&session_.lock_);
}

HRESULT Session::Save()
{
    return WriteStateFile(path_, FormatState(state_));
}

LONG Session::Undercount(const Binding& binding) const
{
    LONG total = 0;
    for (const Statement& statement : state_.statements) {
        if (statement.kind == StatementKind::Undercount && Matches(statement.profile, binding)) {
            total += statement.count;
        }
    }
    return total;
}

std::vector<const Statement*> Session::NonPorts(const Binding& binding) const
{
    std::vector<const Statement*> found;
    for (const Statement& statement : state_.statements) {
        if (statement.kind == StatementKind::NonPort && Matches(statement.profile, binding)) {
            found.push_back(&statement);
        }
    }
    return found;
}

HRESULT Session::Grow(const Binding& binding)
{
    PortList& list = state_.PortsOf(binding.profile);
    bool grown = false;
    LONG next = kFirstGrownPort;
    for (const Statement& statement : state_.statements) {
        if (statement.kind != StatementKind::Grow || !Matches(statement.profile, binding)) {
            continue;
        }
        for (LONG i = 0; i < statement.count && next <= 65535; ++i) {
            while (next <= 65535 && PortInUse(list, next, 17)) {
                ++next;
            }
            if (next > 65535) {
                break;
            }
            auto entry = std::make_shared<PortEntry>();
            entry->name = statement.name;
            entry->protocol = 17;
            entry->port = next;
            entry->scope = 1;
            list.push_back(entry);
            grown = true;
        }
    }
    return grown ? Save() : S_OK;
}

} // namespace simfw
