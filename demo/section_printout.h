// Readable print-outs of what the plug-in keeps: its private DEVMODE
// section and the printer's values in its PrinterDriverData key.
#pragma once

#include "core/private_devmode.h"

#include <windows.h>

#include <cstdio>
#include <string>

// The names of the bits set in a "DriverSettings" value, e.g.
// "interposer, output bin Upper, punch 2 and 3 holes"; "none" for 0.
std::string DescribeDriverSettings(DWORD settings);

// The language of a "mailLanguage" code, e.g. "English (United States)".
const char* MailLanguageName(WORD code);

// Prints every field of the section; the delivery and notification texts
// come from the plug-in's own string table (`plugin`).
void PrintSection(FILE* out, const vorn::PrivateDevmode& section, HMODULE plugin);

// Prints "DriverSettings" (with its bits), "CurrentTicketsDir",
// "SelectedTicket" and "JTEditorExitCode" of the HKLM key `keyPath`.
void PrintPrinterValues(FILE* out, const std::wstring& keyPath);
