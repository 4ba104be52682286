#include "machine_changes.h"

#include <shlwapi.h>

#include <fstream>
#include <iterator>

namespace standin {

namespace {

std::function<void(const std::wstring&)>& Reporter() {
    static std::function<void(const std::wstring&)> report;
    return report;
}

void Report(const std::wstring& what) {
    if (Reporter()) {
        Reporter()(what);
    }
}

// Removes a folder with all in it; `path` is in the "\\?\" form, so that no
// path in it is too long.
void RemoveTree(const std::wstring& path) {
    EachEntry(path + L"\\*", [&](const std::wstring& name, bool isFolder) {
        const std::wstring inner = path + L"\\" + name;
        if (isFolder) {
            RemoveTree(inner);
        } else {
            SetFileAttributesW(inner.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(inner.c_str());
        }
    });
    RemoveDirectoryW(path.c_str());
}

// False when the key or the value is missing.
bool ReadValueOf(HKEY root, const std::wstring& path, const std::wstring& name, DWORD* type,
                 std::vector<BYTE>* data) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD size = 0;
    bool ok = RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size) == ERROR_SUCCESS;
    data->resize(size);
    ok = ok &&
         RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size) == ERROR_SUCCESS;
    data->resize(ok ? size : 0);
    RegCloseKey(key);
    return ok;
}

} // namespace

void ReportFailuresTo(std::function<void(const std::wstring&)> report) {
    Reporter() = std::move(report);
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

std::wstring CurrentDirectory() {
    wchar_t now[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, now);
    return now;
}

std::wstring UniqueName(const std::wstring& base) {
    static LONG counter = 0;
    return base + L" " + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(InterlockedIncrement(&counter));
}

std::string FileBytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void EachEntry(const std::wstring& pattern,
               const std::function<void(const std::wstring&, bool)>& visit) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        if (lstrcmpW(found.cFileName, L".") && lstrcmpW(found.cFileName, L"..")) {
            visit(std::wstring(found.cFileName),
                  (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
}

TempFolder::TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + UniqueName(name);
    // Process ids repeat under a fresh wineserver: a program that crashed
    // may have left a folder of this very name, with its files.
    Destroy();
    if (!CreateDirectoryW(path_.c_str(), nullptr)) {
        Report(L"cannot make the folder " + path_);
    }
}

void TempFolder::Touch(const std::wstring& name) const {
    HANDLE file = CreateFileW(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Report(L"cannot make a file of a path " + std::to_wstring(File(name).size()) + L" long");
        return;
    }
    CloseHandle(file);
}

void TempFolder::Remove(const std::wstring& name) const {
    SetFileAttributesW(File(name).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(File(name).c_str());
}

void TempFolder::Destroy() {
    RemoveTree(L"\\\\?\\" + path_);
}

void MakeKey(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        Report(L"cannot make the key " + path);
        return;
    }
    RegCloseKey(key);
}

void RemoveKey(HKEY root, const std::wstring& path) {
    SHDeleteKeyW(root, path.c_str());
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void RegValue::SetString(const std::wstring& text) const {
    SetRaw(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void RegValue::SetRaw(DWORD type, const void* data, DWORD size) const {
    if (SHSetValueW(root_, path_.c_str(), name_.c_str(), type, data, size) != ERROR_SUCCESS) {
        Report(L"cannot write the value " + name_ + L" of " + path_);
    }
}

void RegValue::Delete() const {
    SHDeleteValueW(root_, path_.c_str(), name_.c_str());
}

std::wstring RegValue::ReadString(DWORD* type, DWORD* bytes) const {
    DWORD found = 0;
    std::vector<BYTE> data;
    const bool read = ReadValueOf(root_, path_, name_, &found, &data);
    if (type) {
        *type = found;
    }
    if (bytes) {
        *bytes = static_cast<DWORD>(data.size());
    }
    data.resize(data.size() + sizeof(wchar_t)); // a terminator of our own
    return read ? std::wstring(reinterpret_cast<const wchar_t*>(data.data())) : L"";
}

SavedValue::SavedValue(HKEY root, std::wstring path, std::wstring name)
    : RegValue(root, std::move(path), std::move(name)), keyExisted_(KeyExists(root_, path_)) {
    existed_ = ReadValueOf(root_, path_, name_, &type_, &data_);
}

SavedValue::~SavedValue() {
    if (existed_) {
        SetRaw(type_, data_.data(), static_cast<DWORD>(data_.size()));
    } else if (keyExisted_) {
        Delete();
    } else {
        RemoveKey(root_, path_);
    }
}

} // namespace standin
