// foreign, quit, squat: what another process of the same desktop can do to the program (on
// Windows XP any process of the user's session, an elevated program's windows included).
#include "Commands.h"
#include "ProgramWindows.h"

#include <sddl.h>

#include <memory>
#include <utility>

namespace {

// A window of the driver's own that carries the framework's control property with a value
// that points nowhere, as an attacker's window would.
struct ForeignWindow {
    ForeignWindow()
    {
        window = ::CreateWindowExA(0, "STATIC", "foreign", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        if (window) {
            ::SetPropA(window, "fw.Control", reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x4141414141414141ULL)));
        }
    }
    ~ForeignWindow()
    {
        if (window) {
            ::RemovePropA(window, "fw.Control");
            ::DestroyWindow(window);
        }
    }
    HWND window = nullptr;
};

// Sends the current window a command from button ID naming the foreign window, and posts it
// each colour message a child sends, naming that window too, and a notification with a pointer
// into nothing (Wine carries neither kind across processes when sent); the program must still
// answer afterwards.
bool Foreign(Session& session, const Invocation& invocation)
{
    long id = 0;
    if (invocation.words.size() != 2 || !ParseNumber(invocation.words[1], id)) {
        return session.Fail("foreign needs the id of a button to claim the command for");
    }
    HWND target = CurrentWindow(session);
    if (!target) {
        return false;
    }
    const ForeignWindow foreign;
    if (!foreign.window) {
        return session.Fail("cannot create the foreign window");
    }
    const auto named = reinterpret_cast<LPARAM>(foreign.window);
    LRESULT ignored = 0;
    if (!SendQuick(target, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), named, ignored)) {
        return session.Fail("the program did not answer the foreign command");
    }
    HDC dc = ::GetDC(foreign.window);
    for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLORLISTBOX}) {
        ::PostMessageA(target, message, reinterpret_cast<WPARAM>(dc), named);
    }
    ::PostMessageA(target, WM_NOTIFY, static_cast<WPARAM>(id), static_cast<LPARAM>(0x4141414141414140ULL));
    Settle(target);
    ::ReleaseDC(foreign.window, dc);
    if (!::IsWindow(target) || !SendQuick(target, WM_NULL, 0, 0, ignored)) {
        return session.Fail("the program stopped answering after the foreign messages");
    }
    return true;
}

// Posts WM_QUIT to the thread of the current window, as any process may.
bool Quit(Session& session, const Invocation&)
{
    HWND target = CurrentWindow(session);
    if (!target) {
        return false;
    }
    const DWORD thread = ::GetWindowThreadProcessId(target, nullptr);
    if (!thread || !::PostThreadMessageA(thread, WM_QUIT, 0, 0)) {
        return session.Fail("cannot post WM_QUIT (error " + std::to_string(::GetLastError()) + ")");
    }
    return true;
}

// A user of a domain that exists on no machine.
constexpr char SquatterSid[] = "S-1-5-21-1-2-3-1001";

// Creates the named event first, with a NULL DACL and owned by a user who is neither an
// administrator nor SYSTEM (SquatterSid: Wine lets a process name any owner), and holds it until
// the driver ends.
bool Squat(Session& session, const Invocation& invocation)
{
    if (invocation.words.size() != 2) {
        return session.Fail("squat needs an event name");
    }
    PSID sid = nullptr;
    if (!::ConvertStringSidToSidA(SquatterSid, &sid)) {
        return session.Fail("cannot make the owner's SID");
    }
    const std::unique_ptr<void, decltype(&::LocalFree)> owner(sid, &::LocalFree);
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    ::SetSecurityDescriptorOwner(&descriptor, owner.get(), FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    fw::UniqueHandle event(::CreateEventA(&attributes, FALSE, FALSE, invocation.words[1].c_str()));
    const DWORD error = ::GetLastError();
    if (!event || error == ERROR_ALREADY_EXISTS) {
        return session.Fail("cannot create " + invocation.words[1] + " first (error " + std::to_string(error) + ")");
    }
    session.held.push_back(std::move(event));
    session.Print("squat " + invocation.words[1] + " owner=" + SquatterSid);
    return true;
}

} // namespace

std::vector<Command> IntruderCommands()
{
    return {{"foreign", Foreign}, {"quit", Quit}, {"squat", Squat}};
}
