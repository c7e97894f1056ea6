#include "platform/sim/context.h"

#include <algorithm>

namespace sim {

void VirtualClock::At(std::uint64_t timeMs, std::function<void()> event)
{
    m_events.emplace(timeMs, std::move(event));
}

void VirtualClock::AdvanceTo(std::uint64_t timeMs)
{
    while (!m_events.empty() && m_events.begin()->first <= timeMs) {
        auto next = m_events.begin();
        m_now = std::max(m_now, next->first);
        std::function<void()> event = std::move(next->second);
        m_events.erase(next);
        event();
    }
    m_now = std::max(m_now, timeMs);
}

void EventLog::Add(std::string kind, std::string text, int control)
{
    m_events.push_back({m_clock.Now(), std::move(kind), control, std::move(text)});
}

void Faults::Fail(std::string call, std::uint32_t error, int times, int skip)
{
    m_faults.push_back({std::move(call), error, times, skip});
}

std::optional<std::uint32_t> Faults::Take(std::string_view call)
{
    for (Fault& fault : m_faults) {
        if (fault.call != call || fault.times == 0) continue;
        if (fault.skip > 0) {
            --fault.skip;
            return std::nullopt;
        }
        if (fault.times > 0) --fault.times;
        return fault.error;
    }
    return std::nullopt;
}

bool Context::Faulted(std::string_view call)
{
    const std::optional<std::uint32_t> error = faults.Take(call);
    if (error) lastError = *error;
    return error.has_value();
}

bool SamePath(std::u16string_view a, std::u16string_view b)
{
    const auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

std::u16string TextOfUtf16File(const std::vector<std::byte>& bytes)
{
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(std::to_integer<unsigned>(bytes[i]) |
                                      (std::to_integer<unsigned>(bytes[i + 1]) << 8));
    return text;
}

std::string Utf8(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string Utf16(std::string_view text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        char32_t c = 0xFFFD;
        std::size_t length = 1;
        if (byte < 0x80) {
            c = byte;
        } else if ((byte >> 5) == 0x6) {
            length = 2;
        } else if ((byte >> 4) == 0xE) {
            length = 3;
        } else if ((byte >> 3) == 0x1E) {
            length = 4;
        }
        if (length > 1) {
            if (i + length > text.size()) {
                length = text.size() - i;
            } else {
                c = byte & (0xFF >> (length + 1));
                for (std::size_t k = 1; k < length; ++k)
                    c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            }
        }
        i += length;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

}  // namespace sim
