#include "DialogDriver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

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

HWND CreateHelper()
{
    static const ATOM atom = [] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &HelperProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = HelperClass;
        return ::RegisterClassA(&windowClass);
    }();
    return atom ? ::CreateWindowExA(0, HelperClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr)
                : nullptr;
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

} // namespace

std::string Cp932(const std::string& utf8)
{
    const int wide = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], wide);
    const int narrow = ::WideCharToMultiByte(932, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(narrow), '\0');
    ::WideCharToMultiByte(932, 0, text.data(), wide, &result[0], narrow, nullptr, nullptr);
    return result;
}

void UiThread::Run(const std::function<void()>& action) const
{
    ::SendMessageA(helper, RunMessage, 0, reinterpret_cast<LPARAM>(&action));
}

void UiThread::Flush() const
{
    HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ::PostMessageA(helper, FlushMessage, 0, reinterpret_cast<LPARAM>(done));
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(done, 10000));
    ::CloseHandle(done);
}

std::string UiThread::ItemText(int id) const
{
    std::string text;
    Run([&] {
        std::vector<char> buffer(static_cast<size_t>(::GetWindowTextLengthA(::GetDlgItem(dialog, id))) + 1);
        const int length = ::GetDlgItemTextA(dialog, id, buffer.data(), static_cast<int>(buffer.size()));
        text.assign(buffer.data(), static_cast<size_t>(length));
    });
    return text;
}

bool UiThread::IsEnabled(int id) const
{
    bool enabled = false;
    Run([&] { enabled = ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; });
    return enabled;
}

DWORD UiThread::Style(int id) const
{
    DWORD style = 0;
    Run([&] { style = static_cast<DWORD>(::GetWindowLongA(::GetDlgItem(dialog, id), GWL_STYLE)); });
    return style;
}

HWND UiThread::FocusWindow() const
{
    HWND focus = nullptr;
    Run([&] { focus = ::GetFocus(); });
    return focus;
}

int UiThread::Focus() const
{
    HWND focus = FocusWindow();
    return focus ? ::GetDlgCtrlID(focus) : 0;
}

bool UiThread::HasWaitCursor() const
{
    bool wait = false;
    Run([&] { wait = ::GetCursor() == ::LoadCursorA(nullptr, IDC_WAIT); });
    return wait;
}

bool UiThread::IsPushed(int id) const
{
    return (Send(id, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

LRESULT UiThread::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const
{
    LRESULT result = 0;
    Run([&] { result = ::SendDlgItemMessageA(dialog, id, message, wParam, lParam); });
    return result;
}

INT_PTR RunModal(fw::Dialog& dialog, const std::function<void(UiThread& ui, HWND window)>& script)
{
    HWND helper = CreateHelper();
    EXPECT_NE(nullptr, helper);
    const DWORD threadId = ::GetCurrentThreadId();
    std::atomic<bool> returned{false};
    bool quitPosted = false;
    std::atomic<bool> scriptDone{false};
    std::thread driver([&] {
        struct Done {
            std::atomic<bool>& flag;
            ~Done() { flag = true; }
        } done{scriptDone};
        HWND window = nullptr;
        if (!WaitUntil([&] { return returned || (window = FindShownDialog(threadId)) != nullptr; }) || !window) {
            ADD_FAILURE() << "the dialog was not shown";
            return;
        }
        UiThread ui(helper, window);
        script(ui, window);
        if (WaitUntil([&] { return returned.load(); }, 2000)) {
            return;
        }
        ADD_FAILURE() << "the script left the dialog open";
        // Cancel it; a busy dialog ignores that until its worker ends. One that stays is
        // ended through its loop, so that a fault fails the test instead of hanging it.
        if (!WaitUntil([&] {
                ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
                return returned.load();
            }, 20000)) {
            quitPosted = ::PostThreadMessageA(threadId, WM_QUIT, 0, 0) != FALSE;
        }
    });
    const INT_PTR result = dialog.DoModal();
    returned = true;
    // The script may still ask this thread for something: answer sent messages until it is
    // done, and leave the posted ones (a WM_QUIT passed on, for one) in the queue.
    while (!scriptDone) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    driver.join();
    if (quitPosted) {
        MSG quit;
        ::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    ::DestroyWindow(helper);
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
