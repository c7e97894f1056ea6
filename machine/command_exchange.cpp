// The identification and status commands exchanged with the machine: one frame written, one
// reply read, the frame sent again while the reply is refused.

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

#include "app/install_dlg.h"
#include "machine/machine_reply.h"

namespace {

// One exchange and this many resends of its frame after refused replies.
constexpr int kMaxResends = 4;
// A machine that does not answer within this time is taken as not answering.
constexpr std::uint32_t kReplyTimeoutMs = 3000;

constexpr std::array<std::byte, 6> kIdentifyFrame{std::byte{'!'}, std::byte{'I'}, std::byte{'D'},
                                                  std::byte{' '}, std::byte{'0'}, std::byte{';'}};
constexpr std::array<std::byte, 10> kStatusFrame{
    std::byte{'!'}, std::byte{'B'}, std::byte{'E'}, std::byte{' '}, std::byte{'4'},
    std::byte{';'}, std::byte{0},   std::byte{0},   std::byte{0},   std::byte{1}};

using ReplyBuffer = std::array<std::byte, kReplyBufferBytes>;

// Opens the machine, sends the frame and reads replies until one carries the tag, within the
// bound on resends. The buffer is zero-filled before every read, so that the bytes beyond a
// short reply read as zero and never as what an earlier reply left.
std::optional<std::size_t> Exchange(CInstallDlg& dlg, Kernel& kernel,
                                    std::span<const std::byte> frame, std::string_view tag,
                                    ReplyBuffer& reply)
{
    const Handle machine = dlg.OpenMachine();
    if (!machine) return std::nullopt;
    std::optional<std::size_t> tagEnd;
    for (int attempt = 0; attempt <= kMaxResends && !tagEnd; ++attempt) {
        std::uint32_t written = 0;
        kernel.WriteFile(machine, frame, written);
        reply.fill(std::byte{0});
        std::uint32_t read = 0;
        kernel.ReadFile(machine, reply, read, kReplyTimeoutMs);
        tagEnd = AcceptedTagEnd(reply, tag);
    }
    kernel.CloseHandle(machine);
    return tagEnd;
}

}  // namespace

std::optional<std::size_t> AcceptedTagEnd(std::span<const std::byte, kReplyBufferBytes> reply,
                                          std::string_view tag)
{
    constexpr std::size_t kTagSearchBytes = 10;
    const auto begin = reply.begin();
    const auto semicolon = std::find(begin, begin + kTagSearchBytes, std::byte{';'});
    if (semicolon == begin + kTagSearchBytes) return std::nullopt;
    const auto textEnd = std::find(begin, semicolon, std::byte{0});
    const std::string_view text(reinterpret_cast<const char*>(reply.data()),
                                static_cast<std::size_t>(textEnd - begin));
    if (text.find(tag) == std::string_view::npos) return std::nullopt;
    return static_cast<std::size_t>(semicolon - begin);
}

std::uint8_t GroupByte(std::span<const std::byte, kReplyBufferBytes> reply, std::size_t tagEnd,
                       std::size_t group)
{
    return std::to_integer<std::uint8_t>(reply[tagEnd + 4 * (group + 1)]);
}

bool CInstallDlg::QueryMachineIdentity(MachineIdentity& identity)
{
    identity = MachineIdentity{};
    ReplyBuffer reply{};
    const std::optional<std::size_t> tagEnd =
        Exchange(*this, m_windows.kernel, kIdentifyFrame, "!ID", reply);
    if (!tagEnd) return false;
    for (std::size_t group = 0; group < identity.values.size(); ++group)
        identity.values[group] = GroupByte(reply, *tagEnd, group);
    return true;
}

std::uint8_t CInstallDlg::QueryMachineStatus()
{
    ReplyBuffer reply{};
    const std::optional<std::size_t> tagEnd =
        Exchange(*this, m_windows.kernel, kStatusFrame, "!BE", reply);
    return tagEnd ? GroupByte(reply, *tagEnd, 0) : kStatusUnanswered;
}
