#pragma once
// Plain Windows-flavoured types shared by every service of the platform seam.
// Names never collide with <windows.h>: constants are kLikeThis, handles are typed wrappers.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>

// A handle is an opaque value owned by the backend that issued it. Each kind of handle has its
// own type so that a window cannot be passed where a file is expected.
template <class Tag>
struct OpaqueHandle {
    std::uintptr_t value = 0;

    explicit operator bool() const { return value != 0; }
    friend auto operator<=>(const OpaqueHandle&, const OpaqueHandle&) = default;
};

using Handle = OpaqueHandle<struct KernelObjectTag>;  // files, devices, processes, threads
using Hwnd = OpaqueHandle<struct WindowTag>;
using Hmodule = OpaqueHandle<struct ModuleTag>;
using Hicon = OpaqueHandle<struct IconTag>;
using Hbitmap = OpaqueHandle<struct BitmapTag>;
using Hdc = OpaqueHandle<struct DeviceContextTag>;
using Hglobal = OpaqueHandle<struct GlobalMemoryTag>;
using HdevInfo = OpaqueHandle<struct DeviceInfoSetTag>;

// INVALID_HANDLE_VALUE: what CreateFileW and SetupDiGetClassDevsW return on failure.
inline constexpr Handle kInvalidHandle{~std::uintptr_t{0}};
inline constexpr HdevInfo kInvalidDevInfo{~std::uintptr_t{0}};

// The Path buffer: every file path, port name and command line is held in at most this many
// UTF-16 units, terminator included.
inline constexpr std::uint32_t kMaxPath = 260;

// Last-error codes the installer and the simulated Windows use.
inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kErrorInvalidData = 13;
inline constexpr std::uint32_t kErrorSharingViolation = 32;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorResourceTypeNotFound = 1813;
inline constexpr std::uint32_t kErrorResourceDataNotFound = 1812;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;
inline constexpr std::uint32_t kErrorInvalidUserBuffer = 1784;
inline constexpr std::uint32_t kErrorInvalidWindowHandle = 1400;
inline constexpr std::uint32_t kErrorNoSuchDeviceInterface = 0xE000020B;
inline constexpr std::uint32_t kErrorWriteFault = 29;
inline constexpr std::uint32_t kErrorGenFailure = 31;
inline constexpr std::uint32_t kErrorOperationAborted = 995;
inline constexpr std::uint32_t kErrorDeviceNotConnected = 1167;

struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};

    friend bool operator==(const Guid&, const Guid&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
