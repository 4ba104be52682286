// Fixed names the plug-in shares with the world outside it: registry keys and
// values, window messages, files and library exports.
#pragma once

#include <windows.h>

namespace vorn::names {

// Per-printer values kept in the printer's PrinterDriverData key.
inline constexpr wchar_t kDriverSettings[] = L"DriverSettings";
inline constexpr wchar_t kCurrentTicketsDir[] = L"CurrentTicketsDir";
inline constexpr wchar_t kSelectedTicket[] = L"SelectedTicket";
inline constexpr wchar_t kEditorExitCode[] = L"JTEditorExitCode";
inline constexpr wchar_t kCustomMediaTypes[] = L"PrinterCustomMediaTypes";
inline constexpr wchar_t kCustomMediaSizes[] = L"PrinterCustomMediaSizes";

// Where the printers' own keys live.
inline constexpr wchar_t kLocalPrintersPath[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
inline constexpr wchar_t kConnectionsPath[] = L"Printers\\Connections\\";
inline constexpr wchar_t kPrinterDriverDataSuffix[] = L"\\PrinterDriverData";
inline constexpr wchar_t kKeyPathFormat[] = L"%s%s%s";

// The separate job-ticket software (machine-wide, written by its installer).
inline constexpr wchar_t kTicketSoftwareKey[] = L"SOFTWARE\\Wow6432Node\\Vorn\\Vorn Dur Irivuravo";
inline constexpr wchar_t kTicketSoftwarePathValue[] = L"Path";
inline constexpr wchar_t kTicketEditorKey[] =
    L"SOFTWARE\\Wow6432Node\\Vorn\\Vorn Dur Irivuravo\\Editor";
inline constexpr wchar_t kTicketEditorTicketsValue[] = L"Tickets";
inline constexpr wchar_t kTicketEditorExe[] = L"vornjtwxp.exe";
inline constexpr wchar_t kTicketLibraryDll[] = L"vornjtwxp.dll";
inline constexpr char kCreateNewJobTicketExport[] = "JTP_CreateNewJobTicket";

// The external page library used on Windows XP.
inline constexpr wchar_t kExternalPageDll[] = L"VORNPSXPS.DLL";
inline constexpr char kExternalPageExport[] = "GetXPPropSheetPage";

// Registered window message broadcast after "DriverSettings" changes.
inline constexpr wchar_t kUpdateFeaturesMessage[] = L"MSG_UPDATE_FEATURES";

// The language entries of a module's version resource.
inline constexpr wchar_t kVersionTranslationQuery[] = L"\\VarFileInfo\\Translation";

// Colour profile and help.
inline constexpr wchar_t kColorProfileName[] = L"OEMPROFILE.icm";
inline constexpr char kHelpFileFormat[] = "vornps%s.hlp";
inline constexpr char kHelpLanguage[] = "enu";
inline constexpr char kHelpPathFormatNt4[] = "%s\\2\\%s";
inline constexpr char kHelpPathFormat[] = "%s\\3\\%s";

// Tickets.
inline constexpr wchar_t kTicketExtension[] = L".jdf";
inline constexpr wchar_t kTicketSearchPattern[] = L"\\*.jdf";

// Title the host shows for the plug-in's pages in its information header.
inline constexpr wchar_t kInfoHeaderTitle[] = L"OEM UI Page";

} // namespace vorn::names
