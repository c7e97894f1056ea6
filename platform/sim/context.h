#pragma once
// What every simulated service shares: the virtual clock, the record of observable events, the
// faults set up for the run, and the thread's last-error code.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace sim {

// The program's own module: its file, its resources.
inline constexpr Hmodule kProgramModule{0x00400000};

// Virtual time in milliseconds since the program started. World events scheduled on it (a
// machine switched off at t) run when time reaches them, also in the middle of an operation
// that lets time pass (a message box being read).
class VirtualClock {
public:
    std::uint64_t Now() const { return m_now; }
    void At(std::uint64_t timeMs, std::function<void()> event);
    // Runs every event due up to timeMs, in time order, then stands at timeMs. Never goes back.
    void AdvanceTo(std::uint64_t timeMs);
    void Advance(std::uint64_t ms) { AdvanceTo(m_now + ms); }

private:
    std::uint64_t m_now = 0;
    std::multimap<std::uint64_t, std::function<void()>> m_events;
};

// One observable event: what a person or a test could have seen happen, and when.
struct Event {
    std::uint64_t timeMs = 0;
    std::string kind;  // "caption", "disable", "box", "usb", "world", ...
    int control = 0;   // the control it concerns, if any
    std::string text;  // UTF-8
};

class EventLog {
public:
    explicit EventLog(const VirtualClock& clock) : m_clock(clock) {}
    void Add(std::string kind, std::string text, int control = 0);
    const std::vector<Event>& Events() const { return m_events; }

private:
    const VirtualClock& m_clock;
    std::vector<Event> m_events;
};

// Calls told to fail: the named call fails with the given last-error code, after letting the
// first `skip` calls through, `times` times in a row (or for ever when times is negative).
class Faults {
public:
    void Fail(std::string call, std::uint32_t error, int times = -1, int skip = 0);
    // The error the named call must fail with now, if any. Each call asks once.
    std::optional<std::uint32_t> Take(std::string_view call);

private:
    struct Fault {
        std::string call;
        std::uint32_t error = 0;
        int times = -1;
        int skip = 0;
    };
    std::vector<Fault> m_faults;
};

struct Context {
    VirtualClock clock;
    EventLog log{clock};
    Faults faults;
    std::uint32_t lastError = 0;

    // Sets the last error and returns false, for the common "fail with code" path.
    bool Fail(std::uint32_t error)
    {
        lastError = error;
        return false;
    }
    // True (and the last error set) when the named call has been told to fail now.
    bool Faulted(std::string_view call);
};

// Paths and names as Windows compares them: without regard to the case of A to Z.
bool SamePath(std::u16string_view a, std::u16string_view b);

// The text of a file stored as UTF-16LE after its byte-order mark (the bytes after the first two).
std::u16string TextOfUtf16File(const std::vector<std::byte>& bytes);

std::string Utf8(std::u16string_view text);
std::u16string Utf16(std::string_view text);

}  // namespace sim
