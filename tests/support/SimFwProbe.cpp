#include "support/SimFwProbe.h"

#include "support/SimFwStateFile.h"

#include "framework/Com.h"
#include "framework/Handles.h"

#include <initguid.h>
#include <netfw.h>

namespace testsupport {

namespace {

const wchar_t kServerKey[] = L"Software\\Classes\\CLSID\\{304CE942-6E39-40D8-943A-B913C40C9CD4}\\InprocServer32";

using LiveObjectsFunction = LONG(WINAPI*)();

// Loaded once and never freed: the pin that keeps the count alive across COM's unloads.
LiveObjectsFunction PinnedLiveObjects()
{
    static LiveObjectsFunction function = []() -> LiveObjectsFunction {
        std::wstring path = SimFwRegisteredPath();
        HMODULE module = path.empty() ? nullptr : ::LoadLibraryW(path.c_str());
        if (!module) {
            return nullptr;
        }
        return reinterpret_cast<LiveObjectsFunction>(
            reinterpret_cast<void*>(::GetProcAddress(module, "SimFwLiveObjects")));
    }();
    return function;
}

} // namespace

std::wstring SimFwRegisteredPath()
{
    fw::UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        return std::wstring();
    }
    wchar_t path[1024] = {};
    DWORD size = sizeof path - sizeof path[0]; // room for a terminator the registry may not store
    DWORD type = 0;
    if (::RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::wstring();
    }
    return std::wstring(path);
}

LONG SimFwLiveObjects()
{
    LiveObjectsFunction function = PinnedLiveObjects();
    return function ? function() : -1;
}

HRESULT ProbeSimFw()
{
    SimFwStateFile state;
    if (!state.Ok()) {
        return E_FAIL;
    }
    fw::ComInit com;
    if (FAILED(com.Result())) {
        return com.Result();
    }
    fw::ComPtr<INetFwMgr> manager;
    HRESULT hr = fw::CreateInProc(CLSID_NetFwMgr, IID_INetFwMgr, manager);
    if (FAILED(hr)) {
        return hr;
    }
    fw::ComPtr<INetFwPolicy> policy;
    hr = manager->get_LocalPolicy(policy.put());
    if (FAILED(hr)) {
        return hr;
    }
    fw::ComPtr<INetFwProfile> profile;
    return policy->GetProfileByType(NET_FW_PROFILE_STANDARD, profile.put());
}

} // namespace testsupport
