// The order a sorted list box keeps its strings in, worked out ahead of the
// list box so that a whole folder of names can be appended in that order.
// The list box places each string it is given by comparing it with
// CompareStringW in its locale, ignoring case: a dozen comparisons for each
// of 10,000 names cost more than reading the folder. Sort keys of the same
// comparison (LCMapStringW), made once per name and compared as bytes, give
// the same order at a fraction of the cost.
// Add and Sort may throw std::bad_alloc; callers catch it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace vorn {

class ListBoxOrder {
  public:
    explicit ListBoxOrder(LCID locale) : locale_(locale) {}
    void Add(const wchar_t* name);
    // Puts the names in the list box's order and answers true when that
    // order is theirs alone. False when it would depend on the order the
    // list box is given them in (two names compare equal) or a name has no
    // sort key: the names then stay in the order added, for the list box to
    // place itself.
    bool Sort();
    size_t Count() const { return order_.size(); }
    const wchar_t* Name(size_t index) const { return text_.data() + starts_[order_[index]]; }
    // The names' characters with their terminators.
    size_t TextChars() const { return text_.size(); }

  private:
    LCID locale_;
    std::vector<wchar_t> text_;  // the names, each terminated
    std::vector<size_t> starts_; // where each name begins in text_
    std::vector<size_t> order_;  // names by index, in the list's order after Sort
};

} // namespace vorn
