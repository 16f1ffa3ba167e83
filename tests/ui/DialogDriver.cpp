#include "DialogDriver.h"

#include "framework/Handles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace uitest {

namespace {

constexpr UINT RunMessage = WM_APP + 1;
constexpr UINT FlushMessage = WM_APP + 2;
constexpr char HelperClass[] = "uitest.Helper";

LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == RunMessage) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    if (message == FlushMessage) {
        ::SetEvent(reinterpret_cast<HANDLE>(lParam));
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A message-only window of the dialog's thread, through which the script runs code there.
UniqueWindow CreateHelper()
{
    static const ATOM atom = [] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &HelperProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = HelperClass;
        return ::RegisterClassA(&windowClass);
    }();
    return UniqueWindow(atom ? ::CreateWindowExA(0, HelperClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                                 ::GetModuleHandleA(nullptr), nullptr)
                             : nullptr);
}

BOOL CALLBACK RememberShownDialog(HWND window, LPARAM parameter)
{
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof(name));
    if (std::string(name) == "#32770" && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(parameter) = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindShownDialog(DWORD threadId)
{
    HWND found = nullptr;
    ::EnumThreadWindows(threadId, &RememberShownDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The dialog's thread no longer answers: nothing can end its dialog, so rather than hang the
// run, the test program ends here with a failure.
void Abandon(const char* what)
{
    std::fprintf(stderr, "FATAL: %s within %lu ms; ending the test program\n", what,
                 static_cast<unsigned long>(Patience));
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 1);
}

} // namespace

void UiThread::Run(const std::function<void()>& action) const
{
    DWORD_PTR ignored = 0;
    if (!::SendMessageTimeoutA(helper, RunMessage, 0, reinterpret_cast<LPARAM>(&action), SMTO_NORMAL, Patience,
                               &ignored)) {
        Abandon("the dialog's thread did not run an action");
    }
}

void UiThread::Flush() const
{
    const fw::UniqueHandle done(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ::PostMessageA(helper, FlushMessage, 0, reinterpret_cast<LPARAM>(done.get()));
    if (::WaitForSingleObject(done.get(), Patience) != WAIT_OBJECT_0) {
        Abandon("the dialog's thread did not handle its posted messages");
    }
}

INT_PTR RunModal(fw::Dialog& dialog, const std::function<void(UiThread& ui, HWND window)>& script)
{
    const UniqueWindow helper = CreateHelper();
    EXPECT_TRUE(helper);
    const DWORD threadId = ::GetCurrentThreadId();
    std::atomic<bool> returned{false};
    std::atomic<bool> scriptDone{false};
    bool quitPosted = false;
    const auto drive = [&] {
        HWND window = nullptr;
        if (!WaitUntil([&] { return returned || (window = FindShownDialog(threadId)) != nullptr; })) {
            Abandon("the dialog was neither shown nor ended");
        }
        if (!window) {
            return;
        }
        UiThread ui(helper.get(), window);
        script(ui, window);
        if (!testing::Test::HasFailure()) {
            if (WaitUntil([&] { return returned.load(); })) {
                return;
            }
            ADD_FAILURE() << "the script left the dialog open";
        }
        // A busy dialog ignores Cancel until its worker ends; one that stays is ended through
        // its loop.
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        if (WaitUntil([&] { return returned.load(); })) {
            return;
        }
        quitPosted = ::PostThreadMessageA(threadId, WM_QUIT, 0, 0) != FALSE;
        if (!WaitUntil([&] { return returned.load(); })) {
            Abandon("the dialog's loop did not end");
        }
    };
    std::thread driver([&] {
        drive();
        scriptDone = true;
    });
    const INT_PTR result = dialog.DoModal();
    returned = true;
    // The script may still ask this thread for something until it is done; the loop's WM_QUIT,
    // passed on for an outer loop, stays in the queue meanwhile.
    while (!scriptDone) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE | QS_POSTMESSAGE);
        MSG msg;
        while (::PeekMessageA(&msg, helper.get(), 0, 0, PM_REMOVE)) {
            ::DispatchMessageA(&msg);
        }
    }
    driver.join();
    if (quitPosted) {
        MSG quit;
        ::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    return result;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > timeoutMs) {
            return false;
        }
        ::Sleep(10);
    }
    return true;
}

void PostClick(HWND control)
{
    RECT client = {};
    ::GetClientRect(control, &client);
    const LPARAM point = MAKELPARAM(client.right / 2, client.bottom / 2);
    ::PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, point);
    ::PostMessageA(control, WM_LBUTTONUP, 0, point);
}

void PostKey(HWND window, WPARAM key)
{
    ::PostMessageA(window, WM_KEYDOWN, key, 1);
    ::PostMessageA(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

} // namespace uitest
