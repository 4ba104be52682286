// The rules for what the user types on the Destination page: free text, PINs
// and e-mail address lists. Pure text functions, used while typing, when the
// focus leaves a field and when the page is committed.
#pragma once

#include <cstdint>

namespace vorn {

// Offered in place of an invalid PIN.
inline constexpr wchar_t kFallbackPin[] = L"5183";
constexpr int kPinDigits = 4;
// The longest single address the printer accepts.
constexpr int kMaxAddressChars = 64;
// The longest address list and message that are stored: a longer list is
// invalid as a whole, never cut (its last address would name someone else).
constexpr int kMaxAddressListChars = 64;
constexpr int kMaxMessageChars = 64;

// Accepts characters of code 32 and up except the double quote. Returns the
// text's length when all are accepted, else the complement of the first
// rejected position (negative). With trim, spaces at both ends are removed
// in place first (the trailing ones only when the text is accepted).
int16_t ScanFieldText(wchar_t* text, bool trim) noexcept;

// Exactly four digits; with allowEmpty the empty text too.
bool IsValidPin(const wchar_t* text, bool allowEmpty) noexcept;

// Units occupied by one valid address at the start of text (leading spaces
// counted), 1 to 64; 0 when there is no valid address there.
int MeasureAddress(const wchar_t* text) noexcept;

// Normalises a list of addresses in place (ends trimmed, each run of commas
// and spaces between addresses made one space, trailing separators cut) and
// returns its length; 0 when the list is empty, any address is invalid, or
// the normalised list is longer than kMaxAddressListChars.
int CheckAddressList(wchar_t* text) noexcept;

} // namespace vorn
