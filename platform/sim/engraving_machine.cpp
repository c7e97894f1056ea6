#include "platform/sim/engraving_machine.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace sim {

namespace {

bool StartsWith(std::span<const std::byte> bytes, std::string_view text)
{
    return bytes.size() >= text.size() && std::memcmp(bytes.data(), text.data(), text.size()) == 0;
}

}  // namespace

EngravingMachine::EngravingMachine(Context& context, MachineBehaviour behaviour)
    : m_ctx(context), m_behaviour(std::move(behaviour))
{
}

void EngravingMachine::Reply(std::string tag, std::span<const std::uint8_t> values)
{
    const ReplyFault fault = m_nextFault < m_behaviour.replyFaults.size()
                                 ? m_behaviour.replyFaults[m_nextFault++]
                                 : ReplyFault{ReplyFault::Kind::Late, 0, 0};
    std::string head = tag + ";";
    switch (fault.kind) {
        case ReplyFault::Kind::SemicolonFirst: head = std::string(";") + tag.substr(1) + ";"; break;
        case ReplyFault::Kind::TagAfterSemicolon: head = std::string("OK;") + tag + ";"; break;
        case ReplyFault::Kind::ZeroBeforeTag: head = std::string(1, '\0') + tag + ";"; break;
        case ReplyFault::Kind::LowerCaseTag:
            std::ranges::transform(head, head.begin(),
                                   [](char c) { return static_cast<char>(std::tolower(c)); });
            break;
        case ReplyFault::Kind::NoSemicolon: head = tag + ":.........."; break;
        default: break;
    }
    std::vector<std::byte> reply;
    for (const char c : head) reply.push_back(std::byte(c));
    for (const std::uint8_t value : values) {  // each value as a big-endian group of four bytes
        reply.insert(reply.end(), 3, std::byte{0});
        reply.push_back(std::byte(value));
    }
    if (fault.kind == ReplyFault::Kind::Short)
        reply.resize(std::min<std::size_t>(reply.size(), fault.length));
    if (fault.kind == ReplyFault::Kind::None) return;
    m_pendingAtMs = m_ctx.clock.Now() + (fault.kind == ReplyFault::Kind::Late ? fault.delayMs : 0);
    m_pending = std::move(reply);
}

std::uint32_t EngravingMachine::Write(std::span<const std::byte> bytes, std::uint32_t& written)
{
    written = 0;
    constexpr std::string_view kIdentify = "!ID 0;";
    constexpr std::string_view kStatus{"!BE 4;\0\0\0\1", 10};
    if (bytes.size() == kIdentify.size() && StartsWith(bytes, kIdentify)) {
        ++m_commands;
        m_ctx.log.Add("machine", "identification asked");
        Reply("!ID", m_behaviour.identity);
    } else if (bytes.size() == kStatus.size() && StartsWith(bytes, kStatus)) {
        ++m_commands;
        m_ctx.log.Add("machine", "status asked");
        const std::array<std::uint8_t, 1> status{m_behaviour.status};
        Reply("!BE", status);
    } else {
        const int piece = ++m_firmwareWriteCount;
        if (piece == m_behaviour.unplugAtFirmwareWrite && onPlug) {
            onPlug(false);
            return kErrorDeviceNotConnected;
        }
        if (piece == m_behaviour.failFirmwareWrite) {
            m_ctx.log.Add("machine", "firmware write " + std::to_string(piece) + " failed");
            return m_behaviour.failFirmwareWriteError;
        }
        if (piece <= m_behaviour.zeroByteWrites ||
            std::ranges::find(m_behaviour.emptyWrites, piece) != m_behaviour.emptyWrites.end())
            return 0;  // success, nothing taken
        const std::size_t taken = m_behaviour.takeAtMost
                                      ? std::min<std::size_t>(bytes.size(), m_behaviour.takeAtMost)
                                      : bytes.size();
        TakeFirmware(bytes.first(taken));
        written = static_cast<std::uint32_t>(taken + m_behaviour.overReportBytes);
        return 0;
    }
    written = static_cast<std::uint32_t>(bytes.size());
    return 0;
}

void EngravingMachine::TakeFirmware(std::span<const std::byte> bytes)
{
    // Through the device's receive buffer, as the machine's own controller takes it in.
    for (std::size_t at = 0; at < bytes.size(); at += m_receiveBuffer.size()) {
        const std::size_t n = std::min(m_receiveBuffer.size(), bytes.size() - at);
        std::memcpy(m_receiveBuffer.data(), bytes.data() + at, n);
        if (m_firmware.size() < kKeptFirmwareBytes)
            m_firmware.insert(m_firmware.end(), m_receiveBuffer.begin(),
                              m_receiveBuffer.begin() + static_cast<std::ptrdiff_t>(n));
    }
    if (m_firmwareWrites.empty()) m_ctx.log.Add("machine", "firmware coming in");
    m_firmwareWrites.push_back(static_cast<std::uint32_t>(bytes.size()));
    m_firmwareBytes += bytes.size();
    ScheduleRestart();
}

void EngravingMachine::ScheduleRestart()
{
    // The machine restarts once the writes have stopped for a while: each write puts it off.
    // One check is pending at a time, and it looks again when a later write came in.
    m_lastWriteMs = m_ctx.clock.Now();
    if (m_restartCheckPending || !onRestart) return;
    m_restartCheckPending = true;
    m_ctx.clock.At(m_lastWriteMs + m_behaviour.restartDelayMs, [this] { CheckRestart(); });
}

void EngravingMachine::CheckRestart()
{
    const std::uint64_t due = m_lastWriteMs + m_behaviour.restartDelayMs;
    if (m_ctx.clock.Now() < due) {
        m_ctx.clock.At(due, [this] { CheckRestart(); });
        return;
    }
    m_restartCheckPending = false;
    m_ctx.log.Add("machine", "restarting with " + std::to_string(m_firmwareBytes) +
                                 " bytes of firmware in " +
                                 std::to_string(m_firmwareWrites.size()) + " writes");
    onRestart(true);
    m_ctx.clock.At(due + m_behaviour.restartMs, [this] {
        m_ctx.log.Add("machine", "back on the bus");
        onRestart(false);
    });
}

std::uint32_t EngravingMachine::Read(std::span<std::byte> buffer, std::uint32_t& read,
                                     std::uint32_t timeoutMs)
{
    read = 0;
    const std::uint64_t start = m_ctx.clock.Now();
    const std::uint64_t limit = timeoutMs == 0xFFFFFFFF ? UINT64_MAX : start + timeoutMs;
    if (!m_pending || m_pendingAtMs > limit) {
        if (limit == UINT64_MAX) {
            // A read without a time limit on a machine that never answers would wait for ever.
            m_ctx.log.Add("machine", "a read without a time limit would wait for ever");
            return kErrorOperationAborted;
        }
        m_ctx.clock.AdvanceTo(limit);
        m_ctx.log.Add("machine", "no reply within " + std::to_string(timeoutMs) + " ms");
        return kErrorOperationAborted;
    }
    m_ctx.clock.AdvanceTo(std::max(start, m_pendingAtMs));
    const std::size_t n = std::min(buffer.size(), m_pending->size());
    std::copy_n(m_pending->begin(), n, buffer.begin());
    read = static_cast<std::uint32_t>(n);
    m_pending.reset();
    return 0;
}

}  // namespace sim
