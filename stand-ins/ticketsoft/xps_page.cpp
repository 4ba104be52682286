// Stand-in for the external page library "VORNPSXPS.DLL". Built three ways,
// each into a folder of its own that a test names as the driver's folder:
//   XPS_MAKES_PAGE  GetXPPropSheetPage makes the page from the description;
//   XPS_NO_PAGE     GetXPPropSheetPage answers null;
//   (neither)       the export is missing.
// While loaded it says so (knobs::kPageLibraryLoaded); it gives the page it
// makes the test's callback (knobs::kPageLibraryCallback), so that the test
// sees the page destroyed (this library is freed long before).
#include "ticketsoft_knobs.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cwchar>

#if defined(XPS_MAKES_PAGE)
#define XPS_VARIANT L"page"
#elif defined(XPS_NO_PAGE)
#define XPS_VARIANT L"nopage"
#else
#define XPS_VARIANT L"noexport"
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        SetEnvironmentVariableW(standin::knobs::kPageLibraryLoaded, XPS_VARIANT);
    }
    return TRUE;
}

#if defined(XPS_MAKES_PAGE) || defined(XPS_NO_PAGE)
extern "C" __declspec(dllexport) HPROPSHEETPAGE WINAPI GetXPPropSheetPage(PROPSHEETPAGEW* page) {
#if defined(XPS_MAKES_PAGE)
    if (!page) {
        return nullptr;
    }
    PROPSHEETPAGEW description = *page;
    wchar_t callback[32] = {};
    if (GetEnvironmentVariableW(standin::knobs::kPageLibraryCallback, callback, 32) > 0) {
        description.dwFlags |= PSP_USECALLBACK;
        description.pfnCallback = reinterpret_cast<LPFNPSPCALLBACKW>(
            static_cast<UINT_PTR>(wcstoull(callback, nullptr, 16)));
    }
    return CreatePropertySheetPageW(&description);
#else
    (void)page;
    return nullptr;
#endif
}
#endif
