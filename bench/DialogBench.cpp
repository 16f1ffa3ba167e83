#include "bench/DialogBench.h"

#include "task/FirewallTask.h"
#include "bench/Timing.h"
#include "res/resource.h"
#include "ui/AgreementDialog.h"

#include <atomic>
#include <cstring>
#include <thread>

namespace bench {

namespace {

constexpr UINT RoundTripTimeoutMs = 2000;
constexpr double ResponsiveMs = 50.0;

BOOL CALLBACK RememberShownDialog(HWND window, LPARAM found)
{
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") == 0 && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForShownDialog(DWORD threadId, const std::atomic<bool>& returned)
{
    for (int i = 0; i < 1000 && !returned; ++i) {
        HWND found = nullptr;
        ::EnumThreadWindows(threadId, &RememberShownDialog, reinterpret_cast<LPARAM>(&found));
        if (found) {
            return found;
        }
        ::Sleep(10);
    }
    return nullptr;
}

// One message sent to the dialog and answered by its thread; the time it took.
double RoundTrip(HWND window)
{
    Stopwatch watch;
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, RoundTripTimeoutMs, &answer);
    return watch.ElapsedMs();
}

bool IsPushed(HWND window, int id)
{
    return (::SendDlgItemMessageA(window, id, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

// The folder of this program, where the build puts the shipped Readme.txt.
void EnterProgramFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return;
    }
    if (char* slash = std::strrchr(path, '\\')) {
        *slash = '\0';
        ::SetCurrentDirectoryA(path);
    }
}

} // namespace

int RunDialogBench(std::FILE* out)
{
    EnterProgramFolder();
    FirewallTask task;
    task.GetPortConfig().ReadPortNumber();
    AgreementDialog dialog(nullptr);
    dialog.SetTask(&task);

    Samples idle;
    Samples busy;
    double busyMs = 0.0;
    bool started = false;
    const DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<bool> returned{false};

    std::thread driver([&] {
        HWND window = WaitForShownDialog(uiThread, returned);
        if (!window) {
            return;
        }
        for (int i = 0; i < 100; ++i) {
            idle.Add(RoundTrip(window));
            ::Sleep(2);
        }
        ::SendDlgItemMessageA(window, IDC_EXPLANATION, WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
        ::SendDlgItemMessageA(window, IDC_AGREE, BM_CLICK, 0, 0);
        ::SendDlgItemMessageA(window, IDOK, BM_CLICK, 0, 0);
        started = IsPushed(window, IDOK);
        Stopwatch busyTime;
        while (started && ::IsWindow(window) && !task.HasWorkerEnded()) {
            const double ms = RoundTrip(window);
            // Only answers given entirely while the worker ran count as busy ones.
            if (!task.HasWorkerEnded()) {
                busy.Add(ms);
            }
            ::Sleep(5);
        }
        busyMs = busyTime.ElapsedMs();
        // A dialog that did not start the worker still waits for its user; a busy one ignores
        // Cancel and closes by itself once the worker has ended.
        while (!returned) {
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            ::Sleep(100);
        }
    });
    const INT_PTR result = dialog.DoModal();
    returned = true;
    driver.join();

    const bool ok = started && result == IDOK && busy.Count() > 0;
    std::fprintf(out,
                 "dialogResult=%d taskResult=%d busyMs=%.0f idleN=%u idleMedian=%.3f idleMax=%.3f busyN=%u "
                 "busyMedian=%.3f busyP99=%.3f busyMax=%.3f busyOver50=%u ok=%d\n",
                 static_cast<int>(result), static_cast<int>(task.GetResult()), busyMs,
                 static_cast<unsigned>(idle.Count()), idle.Median(), idle.Max(), static_cast<unsigned>(busy.Count()),
                 busy.Median(), busy.Percentile(0.99), busy.Max(),
                 static_cast<unsigned>(busy.CountAbove(ResponsiveMs)), ok ? 1 : 0);
    return ok ? 0 : 1;
}

} // namespace bench
