#include "editor_presence.h"

namespace standin {

namespace {

constexpr wchar_t kSoftwareKey[] = L"SOFTWARE\\Wow6432Node\\Vorn\\Vorn Dur Irivuravo";
constexpr wchar_t kPathValue[] = L"Path";

bool ReadPath(std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSoftwareKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    wchar_t text[MAX_PATH + 1] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    const bool read = RegQueryValueExW(key, kPathValue, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (read) {
        path = text;
    }
    return read;
}

void WritePath(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSoftwareKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(key, kPathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

} // namespace

EditorPresence::EditorPresence(Editor editor) {
    hadValue_ = ReadPath(previous_);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static LONG counter = 0;
    folder_ = std::wstring(temp) + L"vorn-editor-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(InterlockedIncrement(&counter));
    CreateDirectoryW(folder_.c_str(), nullptr);
    if (editor == Editor::File) {
        HANDLE file = CreateFileW(EditorPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    } else if (editor == Editor::Directory) {
        CreateDirectoryW(EditorPath().c_str(), nullptr);
    }
    WritePath(folder_);
    std::wstring check;
    installed_ = ReadPath(check) && check == folder_;
}

EditorPresence::~EditorPresence() {
    if (hadValue_) {
        WritePath(previous_);
    } else {
        Uninstall();
    }
    DeleteFileW(EditorPath().c_str());
    RemoveDirectoryW(EditorPath().c_str());
    RemoveDirectoryW(folder_.c_str());
}

void EditorPresence::Uninstall() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSoftwareKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, kPathValue);
        RegCloseKey(key);
    }
}

} // namespace standin
