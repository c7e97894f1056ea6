#include "app/text.h"

#include <algorithm>

namespace {

char16_t FoldCase(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

}  // namespace

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b)
{
    return std::ranges::equal(a, b,
                              [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix)
{
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool Contains(std::u16string_view text, std::u16string_view needle)
{
    return text.find(needle) != std::u16string_view::npos;
}

std::u16string InFolder(const std::u16string& folder, std::u16string_view fileName)
{
    std::u16string path = folder;
    if (path.empty() || path.back() != u'\\') path += u'\\';
    return path + std::u16string(fileName);
}

std::u16string DecimalText(std::int64_t number)
{
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}
