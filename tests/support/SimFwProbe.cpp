#include "support/SimFwProbe.h"

#include "support/SimFwStateFile.h"

#include "framework/Com.h"
#include "framework/Handles.h"

#include <initguid.h>
#include <netfw.h>

namespace testsupport {

namespace {

using LiveObjectsFunction = LONG(WINAPI*)();

// The DLL registered for CLSID_NetFwMgr in this process's registry view, loaded once and never
// freed: the pin that keeps the count alive across COM's unloads.
LiveObjectsFunction PinnedLiveObjects()
{
    static LiveObjectsFunction function = []() -> LiveObjectsFunction {
        fw::UniqueRegKey key;
        wchar_t path[MAX_PATH + 1] = {};
        DWORD size = sizeof path - sizeof path[0]; // room for a terminator the registry may not store
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                            L"Software\\Classes\\CLSID\\{304CE942-6E39-40D8-943A-B913C40C9CD4}\\InprocServer32", 0,
                            KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS ||
            ::RegQueryValueExW(key.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size) !=
                ERROR_SUCCESS) {
            return nullptr;
        }
        HMODULE module = ::LoadLibraryW(path);
        return module ? reinterpret_cast<LiveObjectsFunction>(
                            reinterpret_cast<void*>(::GetProcAddress(module, "SimFwLiveObjects")))
                      : nullptr;
    }();
    return function;
}

} // namespace

LONG SimFwLiveObjects()
{
    LiveObjectsFunction function = PinnedLiveObjects();
    return function ? function() : -1;
}

HRESULT ProbeSimFw()
{
    SimFwStateFile state;
    fw::ComInit com;
    fw::ComPtr<INetFwMgr> manager;
    fw::ComPtr<INetFwPolicy> policy;
    fw::ComPtr<INetFwProfile> profile;
    HRESULT hr = state.Ok() ? com.Result() : E_FAIL;
    if (SUCCEEDED(hr)) {
        hr = fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager);
    }
    if (SUCCEEDED(hr)) {
        hr = manager->get_LocalPolicy(policy.put());
    }
    return SUCCEEDED(hr) ? policy->GetProfileByType(NET_FW_PROFILE_STANDARD, profile.put()) : hr;
}

} // namespace testsupport
