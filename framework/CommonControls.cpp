#include "framework/CommonControls.h"

#include "framework/SystemFunction.h"

#include <commctrl.h>

namespace fw {

bool LoadCommonControls(DWORD classes)
{
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = ExportedFunction<InitFunction>(::LoadLibraryW(L"comctl32.dll"), "InitCommonControlsEx");
    if (!init) {
        return false;
    }
    INITCOMMONCONTROLSEX request{};
    request.dwSize = sizeof(request);
    request.dwICC = classes;
    return init(&request) != FALSE;
}

} // namespace fw
