// Yardsticks for a Silent run's wall time: Windows GUI programs that start and end at once.
// Built twice: bare, and (WITH_PRODUCT_DLLS) importing from every system DLL the product
// imports from and loading the common controls as the product does, so that loading and
// initialising those DLLs is part of its start too.

#include <windows.h>

#if defined(WITH_PRODUCT_DLLS)
#include <ole2.h>
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
#if defined(WITH_PRODUCT_DLLS)
    // Taking the addresses makes them imports without calling anything.
    const void* volatile imports[] = {
        reinterpret_cast<const void*>(&::CoInitialize),
        reinterpret_cast<const void*>(&::SysFreeString),      reinterpret_cast<const void*>(&::RegCloseKey),
        reinterpret_cast<const void*>(&::MessageBoxA),        reinterpret_cast<const void*>(&::DeleteObject),
    };
    (void)imports;
    ::LoadLibraryW(L"comctl32.dll");
#endif
    return 0;
}
