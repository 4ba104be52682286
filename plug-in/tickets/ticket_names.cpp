#include "ticket_names.h"

#include "../core/names.h"
#include "../core/safe_string.h"

#include <cwchar>

namespace vorn {

std::wstring FoldName(LCID locale, const wchar_t* text, size_t length) {
    std::wstring folded(length, L'\0');
    if (length == 0) {
        return folded;
    }
    const int written = LCMapStringW(locale, LCMAP_UPPERCASE, text, static_cast<int>(length),
                                     &folded[0], static_cast<int>(length));
    if (written != static_cast<int>(length)) {
        folded.assign(text, length);
        CharUpperBuffW(&folded[0], static_cast<DWORD>(length));
    }
    return folded;
}

bool FoldedNameSet::Insert(const wchar_t* name) {
    return names_.insert(FoldName(locale_, name, std::wcslen(name))).second;
}

bool FoldedNameSet::Contains(const wchar_t* name, size_t length) const {
    return names_.count(FoldName(locale_, name, length)) != 0;
}

bool HasTicketExtension(const wchar_t* fileName) noexcept {
    const size_t extension = std::wcslen(names::kTicketExtension);
    const size_t length = BoundedLength(fileName, MAX_PATH);
    return length >= extension &&
           lstrcmpiW(fileName + length - extension, names::kTicketExtension) == 0;
}

void TicketFolder::Scan(const wchar_t* pattern) {
    ForEachTicketFile(pattern, [this](const wchar_t* name) {
        files_.Insert(name);
        const wchar_t* dot = std::wcsrchr(name, L'.');
        entryNames_.emplace_back(name, dot ? static_cast<size_t>(dot - name) : std::wcslen(name));
    });
}

bool TicketFolder::HasTicketFile(const wchar_t* entry) const {
    std::wstring file(entry);
    file += names::kTicketExtension;
    return files_.Contains(file.c_str(), file.size());
}

} // namespace vorn
