#include "platform/sim/sim_setupapi.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::uint32_t kErrorGeneralSyntax = 0xE0000003;

// A printer INF as the driver store takes it: UTF-16LE with its byte-order mark, a [Version]
// section and a Signature in it.
bool IsInf(const std::vector<std::byte>& bytes)
{
    if (bytes.size() < 2 || bytes[0] != std::byte{0xFF} || bytes[1] != std::byte{0xFE})
        return false;
    const std::u16string text = TextOfUtf16File(bytes);
    return text.find(u"[Version]") != std::u16string::npos &&
           text.find(u"Signature") != std::u16string::npos;
}

}  // namespace

bool SimSetupApi::SetupCopyOEMInfW(const std::u16string& sourceInf, std::uint32_t mediaType,
                                   std::uint32_t copyStyle, std::uint32_t destinationChars,
                                   std::u16string& destinationName)
{
    m_calls.push_back({sourceInf, mediaType, copyStyle});
    if (m_ctx.Faulted("SetupCopyOEMInfW")) return false;
    std::vector<FileSetup>& files = m_kernel.Files();
    const auto source = std::ranges::find_if(
        files, [&](const FileSetup& f) { return SamePath(f.path, sourceInf); });
    if (source == files.end()) return m_ctx.Fail(kErrorFileNotFound);
    if (!IsInf(source->bytes)) return m_ctx.Fail(kErrorGeneralSyntax);

    const std::u16string folder = kInfFolder;
    int number = 0;
    const auto taken = [&](int n) {
        const std::u16string name = folder + u"\\oem" + Utf16(std::to_string(n)) + u".inf";
        return std::ranges::any_of(files,
                                   [&](const FileSetup& f) { return SamePath(f.path, name); });
    };
    while (taken(number)) ++number;
    const std::u16string stem = folder + u"\\oem" + Utf16(std::to_string(number));
    const std::vector<std::byte> bytes = source->bytes;  // the push_backs below move the files
    files.push_back({stem + u".inf", bytes, {}, false});
    files.push_back({stem + u".pnf", std::vector<std::byte>(64), {}, false});
    m_ctx.log.Add("driver store", "staged " + Utf8(sourceInf) + " as " + Utf8(stem) + ".inf");
    destinationName.clear();
    if ((stem + u".inf").size() + 1 > destinationChars) return m_ctx.Fail(kErrorInsufficientBuffer);
    destinationName = stem + u".inf";
    return true;
}

}  // namespace sim
