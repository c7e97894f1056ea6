#include "platform/sim/sim_version.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace sim {

namespace {

// A VS_VERSIONINFO as Windows lays it out: wLength, wValueLength, wType, the key
// "VS_VERSION_INFO" and its terminator, padding to a 32-bit boundary, then VS_FIXEDFILEINFO.
constexpr std::size_t kFixedInfoOffset = 40;
constexpr std::size_t kFixedInfoBytes = 52;
constexpr std::size_t kRecordBytes = kFixedInfoOffset + kFixedInfoBytes;

void Put16(std::vector<std::byte>& out, std::size_t at, std::uint16_t value)
{
    out[at] = std::byte(value & 0xFF);
    out[at + 1] = std::byte(value >> 8);
}

void Put32(std::vector<std::byte>& out, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out[at + i] = std::byte((value >> (8 * i)) & 0xFF);
}

std::uint32_t Get32(std::span<const std::byte> in, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::to_integer<std::uint32_t>(in[at + i]) << (8 * i);
    return value;
}

std::vector<std::byte> EncodeRecord(const VersionRecord& record)
{
    std::vector<std::byte> out(kRecordBytes);
    Put16(out, 0, static_cast<std::uint16_t>(kRecordBytes));
    Put16(out, 2, static_cast<std::uint16_t>(kFixedInfoBytes));
    const std::u16string key = u"VS_VERSION_INFO";
    for (std::size_t i = 0; i < key.size(); ++i) Put16(out, 6 + 2 * i, key[i]);
    const auto& v = record.productVersion;
    const std::uint32_t ms = (std::uint32_t{v[0]} << 16) | v[1];
    const std::uint32_t ls = (std::uint32_t{v[2]} << 16) | v[3];
    const std::size_t f = kFixedInfoOffset;
    Put32(out, f + 0, record.malformed ? 0 : kVsFfiSignature);
    Put32(out, f + 4, 0x00010000);
    Put32(out, f + 8, ms);  // file version
    Put32(out, f + 12, ls);
    Put32(out, f + 16, ms);  // product version
    Put32(out, f + 20, ls);
    return out;
}

}  // namespace

bool SimVersion::HasRecord(const std::u16string& path)
{
    if (path != m_world.installerPath) return m_ctx.Fail(kErrorFileNotFound);
    if (!m_world.version.present) return m_ctx.Fail(kErrorResourceTypeNotFound);
    return true;
}

std::uint32_t SimVersion::GetFileVersionInfoSizeW(const std::u16string& path)
{
    if (m_ctx.Faulted("GetFileVersionInfoSizeW") || !HasRecord(path)) return 0;
    return static_cast<std::uint32_t>(kRecordBytes);
}

bool SimVersion::GetFileVersionInfoW(const std::u16string& path, std::span<std::byte> block)
{
    if (m_ctx.Faulted("GetFileVersionInfoW") || !HasRecord(path)) return false;
    const std::vector<std::byte> record = EncodeRecord(m_world.version);
    std::copy_n(record.begin(), std::min(record.size(), block.size()), block.begin());
    return true;
}

bool SimVersion::VerQueryValueW(std::span<const std::byte> block, const std::u16string& subBlock,
                                VsFixedFileInfo& fixedInfo)
{
    if (m_ctx.Faulted("VerQueryValueW")) return false;
    if (subBlock != u"\\" || block.size() < kRecordBytes) return m_ctx.Fail(kErrorInvalidData);
    const std::size_t f = kFixedInfoOffset;
    if (Get32(block, f) != kVsFfiSignature) return m_ctx.Fail(kErrorInvalidData);
    fixedInfo.dwSignature = Get32(block, f);
    fixedInfo.dwStrucVersion = Get32(block, f + 4);
    fixedInfo.dwFileVersionMS = Get32(block, f + 8);
    fixedInfo.dwFileVersionLS = Get32(block, f + 12);
    fixedInfo.dwProductVersionMS = Get32(block, f + 16);
    fixedInfo.dwProductVersionLS = Get32(block, f + 20);
    return true;
}

}  // namespace sim
