#include "editor_presence.h"

namespace standin {

namespace {

constexpr wchar_t kSoftwareKey[] = L"SOFTWARE\\Wow6432Node\\Vorn\\Vorn Dur Irivuravo";
constexpr wchar_t kPathValue[] = L"Path";
constexpr wchar_t kEditorKey[] = L"SOFTWARE\\Wow6432Node\\Vorn\\Vorn Dur Irivuravo\\Editor";
constexpr wchar_t kTicketsValue[] = L"Tickets";

bool ReadText(const wchar_t* keyPath, const wchar_t* name, std::wstring& text) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    const bool read = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                       &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (read) {
        text = buffer;
    }
    return read;
}

void WriteText(const wchar_t* keyPath, const wchar_t* name, const std::wstring& text) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

void DeleteText(const wchar_t* keyPath, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, name);
        RegCloseKey(key);
    }
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool ReadPath(std::wstring& path) {
    return ReadText(kSoftwareKey, kPathValue, path);
}
void WritePath(const std::wstring& path) {
    WriteText(kSoftwareKey, kPathValue, path);
}

} // namespace

EditorPresence::EditorPresence(Editor editor) {
    hadValue_ = ReadPath(previous_);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static LONG counter = 0;
    // A blank in the folder's name, as in "Program Files": the editor must be
    // started by its whole path.
    folder_ = std::wstring(temp) + L"vorn editor " + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(InterlockedIncrement(&counter));
    CreateDirectoryW(folder_.c_str(), nullptr);
    if (editor == Editor::File) {
        HANDLE file = CreateFileW(EditorPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    } else if (editor == Editor::Program) {
        const std::wstring bin = ProgramFolder();
        CopyFileW((bin + L"vornjtwxp.exe").c_str(), EditorPath().c_str(), FALSE);
        CopyFileW((bin + L"vornjtwxp.dll").c_str(), LibraryPath().c_str(), FALSE);
    } else if (editor == Editor::Directory) {
        CreateDirectoryW(EditorPath().c_str(), nullptr);
    }
    WritePath(folder_);
    // An installed editor also names its default ticket folder, which the
    // Tickets page falls back on when the printer has none of its own.
    if (editor == Editor::File || editor == Editor::Program) {
        hadTickets_ = ReadText(kEditorKey, kTicketsValue, previousTickets_);
        CreateDirectoryW(TicketsFolder().c_str(), nullptr);
        WriteText(kEditorKey, kTicketsValue, TicketsFolder());
        wroteTickets_ = true;
    }
    std::wstring check;
    installed_ = ReadPath(check) && check == folder_ &&
                 (editor != Editor::Program ||
                  GetFileAttributesW(LibraryPath().c_str()) != INVALID_FILE_ATTRIBUTES);
}

EditorPresence::~EditorPresence() {
    if (wroteTickets_) {
        if (hadTickets_) {
            WriteText(kEditorKey, kTicketsValue, previousTickets_);
        } else {
            DeleteText(kEditorKey, kTicketsValue);
        }
        RemoveDirectoryW(TicketsFolder().c_str());
    }
    if (hadValue_) {
        WritePath(previous_);
    } else {
        Uninstall();
    }
    DeleteFileW(EditorPath().c_str());
    DeleteFileW(LibraryPath().c_str());
    RemoveDirectoryW(EditorPath().c_str());
    RemoveDirectoryW(folder_.c_str());
}

void EditorPresence::Uninstall() {
    DeleteText(kSoftwareKey, kPathValue);
}

} // namespace standin
