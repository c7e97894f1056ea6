#pragma once
// The engraving machine as a device of the simulated USB bus: it answers the identification and
// status commands, takes in firmware, and restarts with it. It does not know the installer.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/sim/context.h"

namespace sim {

// How one reply of the machine goes wrong.
struct ReplyFault {
    enum class Kind {
        SemicolonFirst,     // ';' is the first byte: an empty tag
        TagAfterSemicolon,  // the tag stands only after the first ';'
        ZeroBeforeTag,      // a zero byte ends the tag text before the tag
        LowerCaseTag,       // "!id", "!be"
        NoSemicolon,        // no ';' among the first ten bytes
        Short,              // only the first `length` bytes arrive
        Late,               // the reply comes `delayMs` after the command
        None,               // no reply at all
    };
    Kind kind = Kind::None;
    std::uint32_t length = 0;
    std::uint32_t delayMs = 0;
};

struct MachineBehaviour {
    // The seven values of the identification reply; value 4 is the model code (4: Tarvon).
    std::array<std::uint8_t, 7> identity{2, 0, 1, 7, 1, 0, 3};
    std::uint8_t status = 0;
    // Faults of the replies, in order: the first reply gets the first fault, and so on.
    std::vector<ReplyFault> replyFaults;
    // Firmware writes are counted from 1. The given write fails with this error.
    int failFirmwareWrite = 0;
    std::uint32_t failFirmwareWriteError = kErrorGenFailure;
    // This many firmware writes, from the first, report success with zero bytes; so do the
    // writes numbered in emptyWrites.
    int zeroByteWrites = 0;
    std::vector<int> emptyWrites;
    // A firmware write takes at most this many bytes (0: all it is given), and reports this
    // many bytes more than it took.
    std::uint32_t takeAtMost = 0;
    std::uint32_t overReportBytes = 0;
    // The machine is unplugged just before this firmware write.
    int unplugAtFirmwareWrite = 0;
    // Having taken in firmware, the machine leaves the bus this long after the last write and
    // comes back restartMs later, running the new firmware.
    std::uint32_t restartDelayMs = 5000;
    std::uint32_t restartMs = 8000;
};

class EngravingMachine {
public:
    EngravingMachine(Context& context, MachineBehaviour behaviour);

    // Called by the bus: the machine's part of a write and of a read. Each returns 0 or the
    // error code of the call.
    std::uint32_t Write(std::span<const std::byte> bytes, std::uint32_t& written);
    std::uint32_t Read(std::span<std::byte> buffer, std::uint32_t& read, std::uint32_t timeoutMs);

    // Set by the bus: what the machine does to its own presence (unplugged, restarting).
    std::function<void(bool plugged)> onPlug;
    std::function<void(bool restarting)> onRestart;

    // What it took in.
    const std::vector<std::uint32_t>& FirmwareWrites() const { return m_firmwareWrites; }
    std::uint64_t FirmwareBytes() const { return m_firmwareBytes; }
    // The firmware bytes received, kept up to kKeptFirmwareBytes.
    const std::vector<std::byte>& Firmware() const { return m_firmware; }
    int CommandsReceived() const { return m_commands; }

    static constexpr std::size_t kKeptFirmwareBytes = 1024 * 1024;

private:
    void Reply(std::string tag, std::span<const std::uint8_t> values);
    void TakeFirmware(std::span<const std::byte> bytes);
    void ScheduleRestart();
    void CheckRestart();

    Context& m_ctx;
    MachineBehaviour m_behaviour;
    std::size_t m_nextFault = 0;
    std::optional<std::vector<std::byte>> m_pending;
    std::uint64_t m_pendingAtMs = 0;
    int m_commands = 0;
    int m_firmwareWriteCount = 0;
    std::vector<std::uint32_t> m_firmwareWrites;
    std::uint64_t m_firmwareBytes = 0;
    std::vector<std::byte> m_firmware;
    std::array<std::byte, 2048> m_receiveBuffer{};
    std::uint64_t m_lastWriteMs = 0;
    bool m_restartCheckPending = false;
};

}  // namespace sim
