// The machine as the stand-ins, the demo, the bench and the tests find and
// change it: the program's folder; a fresh folder under the temporary
// folder, registry values and keys, each put back when its owner goes. A
// change that cannot be made is reported to whoever listens (a test program
// fails the test).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace standin {

// Where failed changes are reported; nowhere until set.
void ReportFailuresTo(std::function<void(const std::wstring&)> report);

// The folder of the running program, with a trailing backslash.
std::wstring ProgramFolder();
// The process's current directory.
std::wstring CurrentDirectory();

// `base`, then the process id and a counter: unique in this process.
std::wstring UniqueName(const std::wstring& base);

// Calls `visit` with the name of each entry that matches `pattern` (not "."
// nor "..") and whether it is a folder.
void EachEntry(const std::wstring& pattern,
               const std::function<void(const std::wstring&, bool)>& visit);

// What a file holds ("" when it cannot be read).
std::string FileBytes(const std::wstring& path);

// A folder of a unique name under the temporary folder, made empty, and
// removed with all in it at the end.
class TempFolder {
  public:
    explicit TempFolder(const std::wstring& name);
    ~TempFolder() { Destroy(); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
    // An empty file of this name (read-only files too are removed at the end).
    void Touch(const std::wstring& name) const;
    void Remove(const std::wstring& name) const;
    void Destroy();

  private:
    std::wstring path_;
};

// Registry keys, as the spooler or an installer makes them.
void MakeKey(HKEY root, const std::wstring& path);
void RemoveKey(HKEY root, const std::wstring& path);
bool KeyExists(HKEY root, const std::wstring& path);

// A registry value, written, removed and read.
class RegValue {
  public:
    RegValue(HKEY root, std::wstring path, std::wstring name)
        : root_(root), path_(std::move(path)), name_(std::move(name)) {}
    void SetString(const std::wstring& text) const;
    void SetRaw(DWORD type, const void* data, DWORD size) const;
    void Delete() const;
    // Its text ("" when it is missing), its type and its size in bytes.
    std::wstring ReadString(DWORD* type = nullptr, DWORD* bytes = nullptr) const;

  protected:
    HKEY root_;
    std::wstring path_, name_;
};

// A registry value saved, and put back (or removed, with its key when that
// was missing too) at the end.
class SavedValue : public RegValue {
  public:
    SavedValue(HKEY root, std::wstring path, std::wstring name);
    ~SavedValue();
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;

  private:
    bool existed_ = false, keyExisted_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> data_;
};

} // namespace standin
