// The DLL's entry point and exports: the two class objects, the unload test and the
// live-object count.

#include "ClassFactory.h"
#include "LeakReport.h"
#include "LiveObjects.h"
#include "NetFwMgr.h"
#include "NetFwOpenPort.h"

namespace {

simfw::ClassFactory managerFactory(&simfw::NetFwMgr::Create);
simfw::ClassFactory portFactory(&simfw::NetFwOpenPort::Create);

} // namespace

// A non-null `reserved` at detach means the process is ending rather than freeing the DLL.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_DETACH) {
        simfw::ReportLeaksOnDetach(reserved != nullptr);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (IsEqualCLSID(clsid, CLSID_NetFwMgr)) {
        return managerFactory.QueryInterface(iid, out);
    }
    if (IsEqualCLSID(clsid, CLSID_NetFwOpenPort)) {
        return portFactory.QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    return simfw::ModuleInUse() ? S_FALSE : S_OK;
}

// Firewall objects alive in this process; tests check it returns to 0.
extern "C" LONG WINAPI SimFwLiveObjects()
{
    return simfw::LiveObjectCount();
}
