#include "demo_printer.h"

#include "machine_changes.h"

namespace {

constexpr const wchar_t* kSampleTickets[] = {L"Annual report.jdf", L"Booklet A5.jdf",
                                             L"Proofs.jdf"};

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

DemoPrinter::DemoPrinter(bool personAtScreen)
    : printer_(kName, kDriverName, PRINTER_ATTRIBUTE_LOCAL,
               L"C:\\windows\\system32\\spool\\drivers\\x64\\3\\vornpsui.dll"),
      ticketsFolder_(software_.TicketsFolder()) {
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
    ready_ = printer_.Described() && software_.Installed() &&
             standin::KeyExists(HKEY_LOCAL_MACHINE, DataKeyPath());
}
