#include "editor_presence.h"

namespace standin {

namespace {

constexpr wchar_t kSoftwareKey[] = L"SOFTWARE\\Wow6432Node\\Vorn\\Vorn Dur Irivuravo";
constexpr wchar_t kPathValue[] = L"Path";
constexpr wchar_t kEditorKey[] = L"SOFTWARE\\Wow6432Node\\Vorn\\Vorn Dur Irivuravo\\Editor";
constexpr wchar_t kTicketsValue[] = L"Tickets";

} // namespace

EditorPresence::EditorPresence(Editor editor)
    : path_(HKEY_LOCAL_MACHINE, kSoftwareKey, kPathValue),
      tickets_(HKEY_LOCAL_MACHINE, kEditorKey, kTicketsValue) {
    ForgetAll();
    if (editor == Editor::File) {
        folder_.Touch(L"vornjtwxp.exe");
    } else if (editor == Editor::Program) {
        const std::wstring bin = ProgramFolder();
        CopyFileW((bin + L"vornjtwxp.exe").c_str(), EditorPath().c_str(), FALSE);
        CopyFileW((bin + L"vornjtwxp.dll").c_str(), LibraryPath().c_str(), FALSE);
        Tell(knobs::kEditorLog, LogPath());
        Tell(knobs::kLibraryRecord, RecordPath());
    } else if (editor == Editor::Directory) {
        CreateDirectoryW(EditorPath().c_str(), nullptr);
    }
    path_.SetString(Folder());
    // An installed editor also names its default ticket folder, which the
    // Tickets page falls back on when the printer has none of its own.
    if (editor == Editor::File || editor == Editor::Program) {
        CreateDirectoryW(TicketsFolder().c_str(), nullptr);
        tickets_.SetString(TicketsFolder());
    }
    installed_ = path_.ReadString() == Folder() &&
                 (editor != Editor::Program ||
                  GetFileAttributesW(LibraryPath().c_str()) != INVALID_FILE_ATTRIBUTES);
}

EditorPresence::~EditorPresence() {
    ForgetAll();
}

void EditorPresence::Tell(const wchar_t* knob, const std::wstring& value) {
    SetEnvironmentVariableW(knob, value.c_str());
}

void EditorPresence::Forget(const wchar_t* knob) {
    SetEnvironmentVariableW(knob, nullptr);
}

void EditorPresence::ForgetAll() {
    for (const wchar_t* knob : knobs::kAll) {
        Forget(knob);
    }
}

std::wstring EditorPresence::EditorLog() const {
    const std::string bytes = FileBytes(LogPath());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

void EditorPresence::Uninstall() {
    RegValue(HKEY_LOCAL_MACHINE, kSoftwareKey, kPathValue).Delete();
}

} // namespace standin
