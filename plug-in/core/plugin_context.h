// PluginContext: the working record made for every option tree the host lets
// the plug-in take part in. It is the parameter of both property pages, of
// the option-tree callbacks, of the per-printer registry operations and of
// the feature query. It lives in the host's heap, which the host discards.
#pragma once

#include "oem_interface.h"

#include <prsht.h>
#include <cstddef>

namespace vorn {

constexpr size_t kContextPrinterNameChars = 226;

struct PluginContext {
    HPROPSHEETPAGE externalPage;   // page made by the external page library
    HANDLE printer;                // hPrinter of the call
    HANDLE module;                 // the plug-in's own module (hModule)
    HANDLE heap;                   // hOEMHeap
    HANDLE sheet;                  // hComPropSheet
    POEMUIOBJ uiObject;            // poemuiobj
    OEMUIPSPARAM* sheetParam;      // lParamInit of the sheet (pOEMDM lives there)
    PFNCOMPROPSHEET sheetFunction; // pfnComPropSheet
    PROPSHEETPAGEW page;           // description of the last page added
    HANDLE pageHandle;             // handle of the plug-in's own Destination page
    DWORD printerConfigFlags;      // reserved, zero
    wchar_t printerName[kContextPrinterNameChars];
    BYTE savedSelections[10];  // reserved, zero
    IPrintOemDriverUI* driver; // the PluginUI's interface, not counted
    HANDLE ticketsPageHandle;  // handle of the Tickets page
};

static_assert(sizeof(PROPSHEETPAGEW) == 96);
static_assert(offsetof(PluginContext, externalPage) == 0);
static_assert(offsetof(PluginContext, printer) == 8);
static_assert(offsetof(PluginContext, module) == 16);
static_assert(offsetof(PluginContext, heap) == 24);
static_assert(offsetof(PluginContext, sheet) == 32);
static_assert(offsetof(PluginContext, uiObject) == 40);
static_assert(offsetof(PluginContext, sheetParam) == 48);
static_assert(offsetof(PluginContext, sheetFunction) == 56);
static_assert(offsetof(PluginContext, page) == 64);
static_assert(offsetof(PluginContext, pageHandle) == 160);
static_assert(offsetof(PluginContext, printerConfigFlags) == 168);
static_assert(offsetof(PluginContext, printerName) == 172);
static_assert(offsetof(PluginContext, savedSelections) == 624);
static_assert(offsetof(PluginContext, driver) == 640);
static_assert(offsetof(PluginContext, ticketsPageHandle) == 648);
static_assert(sizeof(PluginContext) == 656);

// Makes a context from the host's record; it becomes the current context of
// the calling thread and the most recent of the process. Null when the heap
// refuses or a handle in the record is missing.
PluginContext* CreatePluginContext(POEMCUIPPARAM param, IPrintOemDriverUI* driver) noexcept;
// Gives a context back to its heap; it is forgotten as a current context.
void ReleasePluginContext(PluginContext* context) noexcept;
// The context of the most recent CommonUIProp call on this thread that kept
// its context; for a thread that has none, the most recent of the process.
PluginContext* CurrentPluginContext() noexcept;
// A context whose sheet has ended (its heap is about to go) is current on
// no thread any more.
void ForgetPluginContext(const PluginContext* context) noexcept;
// The calling thread ends: its entry goes, so that a later thread given the
// same identifier does not inherit it.
void ForgetThreadContext() noexcept;

// The private DEVMODE section the pages edit, through the sheet parameter;
// null when the sheet has not been set up.
struct PrivateDevmode;
PrivateDevmode* ContextPrivateDevmode(const PluginContext* context) noexcept;
// The public DEVMODE of the sheet, or null.
DEVMODEW* ContextPublicDevmode(const PluginContext* context) noexcept;

// QueryDriverFeature through the context's UI object and driver interface.
bool QueryContextFeature(const PluginContext* context, const char* feature, char* out,
                         DWORD outBytes) noexcept;

} // namespace vorn
