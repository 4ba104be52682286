#include "demo_printer.h"

#include "core/names.h"
#include "machine_changes.h"

#include <winspool.h>

// After winspool.h, whose AddPrinter macro renames its member alike.
#include "spooler_control.h"

namespace {

constexpr const wchar_t* kSampleTickets[] = {L"Annual report.jdf", L"Booklet A5.jdf",
                                             L"Proofs.jdf"};

std::wstring PrinterKeyPath() {
    return std::wstring(vorn::names::kLocalPrintersPath) + DemoPrinter::kName;
}

void WriteSampleTicket(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    static const char kTicket[] = "<?xml version=\"1.0\"?>\n<JDF Type=\"Combined\"/>\n";
    DWORD written = 0;
    WriteFile(file, kTicket, sizeof(kTicket) - 1, &written, nullptr);
    CloseHandle(file);
}

} // namespace

DemoPrinter::DemoPrinter(bool personAtScreen) : ticketsFolder_(software_.TicketsFolder()) {
    standin::SpoolerControl spooler{};
    if (!spooler.Load()) {
        return;
    }
    spooler.AddPrinter(kName, kDriverName, PRINTER_ATTRIBUTE_LOCAL,
                       L"C:\\windows\\system32\\spool\\drivers\\x64\\3\\vornpsui.dll");
    // A fresh key each run: what an earlier run left would change the walk.
    standin::RemoveKey(HKEY_LOCAL_MACHINE, PrinterKeyPath());
    standin::MakeKey(HKEY_LOCAL_MACHINE, DataKeyPath());
    for (const wchar_t* ticket : kSampleTickets) {
        WriteSampleTicket(ticketsFolder_ + L"\\" + ticket);
    }
    // The stand-in editor hands back the ticket it was started on, through
    // this printer's key, as the real one does when a person saves.
    using standin::EditorPresence;
    EditorPresence::Tell(standin::knobs::kEditorDemo, L"1");
    EditorPresence::Tell(standin::knobs::kEditorKey, DataKeyPath());
    if (personAtScreen) {
        EditorPresence::Tell(standin::knobs::kEditorLifetime, L"3600000");
    }
    ready_ = software_.Installed() && standin::KeyExists(HKEY_LOCAL_MACHINE, DataKeyPath());
}

DemoPrinter::~DemoPrinter() {
    standin::RemoveKey(HKEY_LOCAL_MACHINE, PrinterKeyPath());
}

std::wstring DemoPrinter::DataKeyPath() const {
    return PrinterKeyPath() + vorn::names::kPrinterDriverDataSuffix;
}
