#pragma once

// Questions about the simulated firewall (simfw.dll) as COM in this process sees it.
//
// SimFwLiveObjects proves that code under test released everything it obtained from the
// firewall:
//
//     EXPECT_EQ(0, testsupport::SimFwLiveObjects());
//
// It loads the DLL that COM uses for CLSID_NetFwMgr (the path registered in this process's own
// registry view) once and keeps it loaded, so that the count survives COM unloading the DLL at
// the last CoUninitialize; call it once before the code under test runs if that code may be the
// first to touch the firewall (any time before the final check works).
//
// SimFwProbe.cpp defines netfw.h's GUIDs (selectany, so a test's own definitions do not clash).

#include <windows.h>

namespace testsupport {

// Number of simfw COM objects alive in this process; -1 when the registered DLL cannot be loaded
// or does not export SimFwLiveObjects (Wine's stub is registered instead of simfw).
LONG SimFwLiveObjects();

// S_OK when the simulated firewall answers for CLSID_NetFwMgr: GetProfileByType(Standard)
// succeeds, where Wine's stub returns E_NOTIMPL; otherwise the failing HRESULT. Initialises COM
// on the calling thread for the duration and uses an empty state file of its own (SIMFW_STATE
// is restored before it returns).
HRESULT ProbeSimFw();

} // namespace testsupport
