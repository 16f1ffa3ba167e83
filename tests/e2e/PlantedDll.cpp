// planted.dll: what an attacker puts beside the program or into the folder it starts from,
// copied under the names of system DLLs. When any process loads it, its DllMain leaves a mark
// in the folder that FWSETUP_PLANT_MARKS names: a file "<this DLL's name> in <the program's
// name>". It exports what the program's import of COMCTL32 once needed, so that a program that
// takes it for the system's still starts.
#include <windows.h>

#include <string>

namespace {

std::wstring FileNameOf(HMODULE module)
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    const std::wstring full(path, length < MAX_PATH ? length : 0);
    const size_t separator = full.find_last_of(L'\\');
    return separator == std::wstring::npos ? full : full.substr(separator + 1);
}

void LeaveMark(HMODULE self)
{
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"FWSETUP_PLANT_MARKS", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    const std::wstring mark = std::wstring(folder) + L"\\" + FileNameOf(self) + L" in " + FileNameOf(nullptr);
    const HANDLE file = ::CreateFileW(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
    }
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        LeaveMark(self);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) void WINAPI InitCommonControls() {}
