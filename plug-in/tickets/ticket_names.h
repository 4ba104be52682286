// Case-insensitive name sets for reconciling the ticket list with its folder
// in one pass over each. Names are folded to upper case in the list box's
// locale, the way the list box itself compares entries, so a name counts as
// present exactly when the list box would find it.
// These may throw std::bad_alloc; callers catch it.
#pragma once

#include "../core/handles.h"

#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

namespace vorn {

// text folded to upper case in the given locale.
std::wstring FoldName(LCID locale, const wchar_t* text, size_t length);

class FoldedNameSet {
  public:
    explicit FoldedNameSet(LCID locale) : locale_(locale) {}
    void Reserve(size_t count) { names_.reserve(count); }
    // True when the name was not there yet.
    bool Insert(const wchar_t* name);
    bool Contains(const wchar_t* name, size_t length) const;

  private:
    LCID locale_;
    std::unordered_set<std::wstring> names_;
};

// Whether a file name ends in ".jdf", in any case. A search for "*.jdf"
// also answers "x.jdfx" and "x.jdf~" (through their short names, or the way
// a three-letter extension matches), which are no tickets.
bool HasTicketExtension(const wchar_t* fileName) noexcept;

// Calls visit(fileName) for each ticket file matching pattern, in the
// folder's order. A folder named like a ticket is not one.
template <typename Visit> void ForEachTicketFile(const wchar_t* pattern, Visit visit) {
    WIN32_FIND_DATAW found;
    UniqueFindHandle search(FindFirstFileW(pattern, &found));
    if (!search) {
        return;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            HasTicketExtension(found.cFileName)) {
            visit(static_cast<const wchar_t*>(found.cFileName));
        }
    } while (FindNextFileW(search.Get(), &found));
}

// One enumeration of a folder's "*.jdf" files.
class TicketFolder {
  public:
    explicit TicketFolder(LCID locale) : files_(locale) {}
    // Lists the files matching pattern (a folder followed by "\*.jdf").
    void Scan(const wchar_t* pattern);
    bool Empty() const { return entryNames_.empty(); }
    // Whether entry followed by ".jdf" was among the files found.
    bool HasTicketFile(const wchar_t* entry) const;
    // The names found, each cut at its last '.', in the folder's order.
    const std::vector<std::wstring>& EntryNames() const { return entryNames_; }

  private:
    FoldedNameSet files_;
    std::vector<std::wstring> entryNames_;
};

} // namespace vorn
