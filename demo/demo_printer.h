// What the demo sets up around the printing preferences: a local printer of
// the stand-in spooler (a K340, whose family offers all eight delivery
// modes) with its own PrinterDriverData key, and the ticket software
// installed in a temporary folder (the stand-in editor and ticket library,
// and a ticket folder with three sample tickets). All of it goes when the
// object goes.
#pragma once

#include "editor_presence.h"
#include "local_printer.h"

#include <string>

class DemoPrinter {
  public:
    static constexpr wchar_t kName[] = L"Vorn K340 PS (demo)";
    static constexpr wchar_t kDriverName[] = L"Vorn K340 PS";

    // `personAtScreen`: the editor stays open until it is closed, instead of
    // finishing by itself after a moment.
    explicit DemoPrinter(bool personAtScreen);
    DemoPrinter(const DemoPrinter&) = delete;
    DemoPrinter& operator=(const DemoPrinter&) = delete;

    // False when the spooler stand-in or the ticket software is missing.
    bool Ready() const { return ready_; }
    // The printer's PrinterDriverData key under HKLM.
    std::wstring DataKeyPath() const { return printer_.DataKeyPath(); }
    const std::wstring& TicketsFolder() const { return ticketsFolder_; }

  private:
    standin::LocalPrinter printer_;
    standin::EditorPresence software_{standin::EditorPresence::Editor::Program};
    std::wstring ticketsFolder_;
    bool ready_ = false;
};
