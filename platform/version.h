#pragma once
// version.dll: the version record of a file.

#include <cstdint>
#include <span>
#include <string>

#include "platform/types.h"

inline constexpr std::uint32_t kVsFfiSignature = 0xFEEF04BD;

// VS_FIXEDFILEINFO, the fixed part of a version record.
struct VsFixedFileInfo {
    std::uint32_t dwSignature = 0;
    std::uint32_t dwStrucVersion = 0;
    std::uint32_t dwFileVersionMS = 0;
    std::uint32_t dwFileVersionLS = 0;
    std::uint32_t dwProductVersionMS = 0;
    std::uint32_t dwProductVersionLS = 0;
    std::uint32_t dwFileFlagsMask = 0;
    std::uint32_t dwFileFlags = 0;
    std::uint32_t dwFileOS = 0;
    std::uint32_t dwFileType = 0;
    std::uint32_t dwFileSubtype = 0;
    std::uint32_t dwFileDateMS = 0;
    std::uint32_t dwFileDateLS = 0;
};

class Version {
public:
    virtual ~Version() = default;

    // Bytes needed for the file's version record; 0 when it has none or cannot be read.
    virtual std::uint32_t GetFileVersionInfoSizeW(const std::u16string& path) = 0;
    // Copies the version record into block (as many bytes as it holds).
    virtual bool GetFileVersionInfoW(const std::u16string& path, std::span<std::byte> block) = 0;
    // VerQueryValueW on the root block ("\"): the fixed part of a record read by
    // GetFileVersionInfoW.
    virtual bool VerQueryValueW(std::span<const std::byte> block, const std::u16string& subBlock,
                                VsFixedFileInfo& fixedInfo) = 0;
};
