#pragma once
// Small text helpers for UTF-16 strings.

#include <cstdint>
#include <string>
#include <string_view>

// Compares without regard to the case of the letters A to Z.
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix);
// Exact, case-sensitive substring test.
bool Contains(std::u16string_view text, std::u16string_view needle);
// A file in a folder: "E:\\Kit" and "E:\\" both give a single backslash before the name.
std::u16string InFolder(const std::u16string& folder, std::u16string_view fileName);
// Decimal digits of a number, as %i or %d prints it.
std::u16string DecimalText(std::int64_t number);
