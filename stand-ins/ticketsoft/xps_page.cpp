// Stand-in for the external page library "VORNPSXPS.DLL". Built three ways,
// each into a folder of its own that a test names as the driver's folder:
//   XPS_MAKES_PAGE  GetXPPropSheetPage makes the page from the description;
//   XPS_NO_PAGE     GetXPPropSheetPage answers null;
//   (neither)       the export is missing.
// While loaded it sets the environment variable VORNPSXPS_LOADED to the
// variant's name, so a test can tell whether the plug-in loaded it at all.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#if defined(XPS_MAKES_PAGE)
#define XPS_VARIANT L"page"
#elif defined(XPS_NO_PAGE)
#define XPS_VARIANT L"nopage"
#else
#define XPS_VARIANT L"noexport"
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        SetEnvironmentVariableW(L"VORNPSXPS_LOADED", XPS_VARIANT);
    }
    return TRUE;
}

#if defined(XPS_MAKES_PAGE) || defined(XPS_NO_PAGE)
extern "C" __declspec(dllexport) HPROPSHEETPAGE WINAPI GetXPPropSheetPage(PROPSHEETPAGEW* page) {
#if defined(XPS_MAKES_PAGE)
    return page ? CreatePropertySheetPageW(page) : nullptr;
#else
    (void)page;
    return nullptr;
#endif
}
#endif
