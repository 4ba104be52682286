// Reads the selected option of driver features, one after the other, into a
// single 64-byte buffer: each answer is valid until the next Read.
#pragma once

#include "../core/plugin_context.h"

#include <cstring>

namespace vorn {

constexpr DWORD kOptionBufferBytes = 64;

class OptionReader {
  public:
    explicit OptionReader(const PluginContext* context) noexcept : context_(context) {}
    OptionReader(const OptionReader&) = delete;
    OptionReader& operator=(const OptionReader&) = delete;

    // The option keyword of `feature`, or null when the feature is
    // unreadable (no answer, or one that does not fit the buffer).
    const char* Read(const char* feature) noexcept {
        return QueryContextFeature(context_, feature, buffer_, sizeof(buffer_)) ? buffer_ : nullptr;
    }

  private:
    const PluginContext* context_;
    char buffer_[kOptionBufferBytes] = {};
};

// Option keywords are compared case-sensitively, either whole or as a part.
inline bool IsOption(const char* option, const char* keyword) noexcept {
    return std::strcmp(option, keyword) == 0;
}
inline bool OptionContains(const char* option, const char* part) noexcept {
    return std::strstr(option, part) != nullptr;
}

// The row of `rows` whose keyword equals `option`, or null.
template <typename Row, size_t N>
const Row* FindOption(const Row (&rows)[N], const char* option) noexcept {
    for (const Row& row : rows) {
        if (IsOption(option, row.keyword)) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace vorn
