#pragma once

#include <windows.h>

namespace fw {

// A function that a loaded DLL exports, looked up at run time because older Windows lack it;
// null where the DLL or the function is missing.
template <typename Function>
Function ExportedFunction(HMODULE module, const char* name)
{
    // Through void (*)(), the one cast GCC accepts between unrelated function types.
    return module ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name))) : nullptr;
}

// The same for a system DLL that the process has loaded already, named by its file name.
template <typename Function>
Function SystemFunction(const char* module, const char* name)
{
    return ExportedFunction<Function>(::GetModuleHandleA(module), name);
}

} // namespace fw
