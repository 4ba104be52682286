// Makes the ticket editor look installed, as its installer would: a folder
// holding "vornjtwxp.exe", named by the machine-wide value
// HKLM "SOFTWARE\Wow6432Node\Vorn\Vorn Dur Irivuravo" "Path".
// Whatever was there before comes back when the object goes. What the
// stand-ins were told (knobs::) is forgotten as it comes and as it goes: a
// test's leftovers would steer the next.
#pragma once

#include "machine_changes.h"
#include "ticketsoft_knobs.h"

#include <windows.h>

#include <string>

namespace standin {

class EditorPresence {
  public:
    enum class Editor {
        File,      // "vornjtwxp.exe" is a file (an installed editor)
        Directory, // "vornjtwxp.exe" is a folder
        Missing,   // the folder holds no "vornjtwxp.exe"
        Program,   // the stand-in editor and ticket library, copied from
                   // this program's folder, so that New and Edit really run
    };

    // Makes a fresh folder under the temp folder and points "Path" at it;
    // the folder goes with all in it at the end. The stand-in program logs
    // each start of its editor and keeps each record its library gets there.
    explicit EditorPresence(Editor editor = Editor::File);
    ~EditorPresence();
    EditorPresence(const EditorPresence&) = delete;
    EditorPresence& operator=(const EditorPresence&) = delete;

    // Tells the stand-ins `knob` (one of knobs::k...), or unsets it.
    static void Tell(const wchar_t* knob, const std::wstring& value);
    static void Forget(const wchar_t* knob);

    // Removes the "Path" value (as if the software were not installed).
    static void Uninstall();

    const std::wstring& Folder() const { return folder_.Path(); }
    std::wstring EditorPath() const { return folder_.File(L"vornjtwxp.exe"); }
    std::wstring LibraryPath() const { return folder_.File(L"vornjtwxp.dll"); }
    // The editor's default ticket folder (made only for an installed editor).
    std::wstring TicketsFolder() const { return folder_.File(L"Tickets"); }
    std::wstring LogPath() const { return folder_.File(L"editor.log"); }
    std::wstring RecordPath() const { return folder_.File(L"record.bin"); }
    // The last start's log: the editor's path and its command line, one a
    // line ("" when it has not started).
    std::wstring EditorLog() const;
    bool Installed() const { return installed_; }

  private:
    static void ForgetAll();
    // A blank in the folder's name, as in "Program Files": the editor must be
    // started by its whole path.
    TempFolder folder_{L"vorn editor"};
    SavedValue path_;
    SavedValue tickets_;
    bool installed_ = false;
};

} // namespace standin
