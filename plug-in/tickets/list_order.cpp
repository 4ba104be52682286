#include "list_order.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace vorn {

namespace {

// Room for the sort key of a name of up to MAX_PATH characters, with several
// bytes for each character; a longer key leaves the order to the list box.
constexpr int kSortKeyBytes = 8192;
constexpr DWORD kListBoxComparison = NORM_IGNORECASE;

// Sort keys of all names, one after the other, each ending in its zero byte.
class SortKeys {
  public:
    // False when a name has no key.
    bool Make(LCID locale, const std::vector<wchar_t>& text, const std::vector<size_t>& starts) {
        starts_.reserve(starts.size() + 1);
        bytes_.reserve(starts.size() * 16);
        BYTE key[kSortKeyBytes];
        for (size_t start : starts) {
            const int length =
                LCMapStringW(locale, LCMAP_SORTKEY | kListBoxComparison, text.data() + start, -1,
                             reinterpret_cast<wchar_t*>(key), kSortKeyBytes);
            if (length <= 0) {
                return false;
            }
            starts_.push_back(bytes_.size());
            bytes_.insert(bytes_.end(), key, key + length);
        }
        starts_.push_back(bytes_.size());
        return true;
    }
    // <0, 0, >0 as the names' keys compare, byte by byte.
    int Compare(size_t a, size_t b) const {
        const size_t lengthA = starts_[a + 1] - starts_[a];
        const size_t lengthB = starts_[b + 1] - starts_[b];
        const int common = std::memcmp(bytes_.data() + starts_[a], bytes_.data() + starts_[b],
                                       std::min(lengthA, lengthB));
        if (common != 0) {
            return common;
        }
        return lengthA < lengthB ? -1 : (lengthA > lengthB ? 1 : 0);
    }

  private:
    std::vector<BYTE> bytes_;
    std::vector<size_t> starts_;
};

} // namespace

void ListBoxOrder::Add(const wchar_t* name) {
    starts_.push_back(text_.size());
    text_.insert(text_.end(), name, name + std::wcslen(name) + 1);
    order_.push_back(order_.size());
}

bool ListBoxOrder::Sort() {
    SortKeys keys;
    if (!keys.Make(locale_, text_, starts_)) {
        return false;
    }
    std::vector<size_t> sorted(order_);
    std::sort(sorted.begin(), sorted.end(),
              [&keys](size_t a, size_t b) { return keys.Compare(a, b) < 0; });
    for (size_t i = 1; i < sorted.size(); ++i) {
        if (keys.Compare(sorted[i - 1], sorted[i]) == 0) {
            return false;
        }
    }
    order_.swap(sorted);
    return true;
}

} // namespace vorn
