#pragma once
// The real Windows services: each call goes to the Windows function of the same name. No logic
// of the installer lives here.

#include <windows.h>

#include <setupapi.h>  // after windows.h, which it needs
#include <winspool.h>

#include "platform/services.h"
#include "platform/win32/system_library.h"

class Win32Kernel : public Kernel {
public:
    std::uint32_t GetModuleFileNameW(Hmodule module, std::uint32_t bufferChars,
                                     std::u16string& path) override;
    Hmodule GetModuleHandleW(const char16_t* moduleName) override;
    bool SetCurrentDirectoryW(const std::u16string& path) override;
    std::uint32_t GetCurrentDirectoryW(std::uint32_t bufferChars, std::u16string& path) override;
    std::u16string GetCommandLineW() override;
    std::uint16_t GetUserDefaultLangID() override;
    std::uint32_t GetTickCount() override;
    std::uint32_t GetLastError() override;
    void SetLastError(std::uint32_t code) override;
    Handle CreateFileW(const std::u16string& path, std::uint32_t desiredAccess,
                       std::uint32_t shareMode, std::uint32_t creationDisposition,
                       std::uint32_t flagsAndAttributes) override;
    bool CloseHandle(Handle handle) override;
    std::uint32_t GetFileSize(Handle file, std::uint32_t* sizeHigh) override;
    bool WriteFile(Handle file, std::span<const std::byte> bytes, std::uint32_t& written) override;
    bool ReadFile(Handle file, std::span<std::byte> buffer, std::uint32_t& read,
                  std::uint32_t timeoutMs) override;
    std::uint32_t GetSystemDirectoryW(std::uint32_t bufferChars, std::u16string& path) override;
    bool CreateProcessW(const std::u16string& commandLine, ProcessInformation& process) override;
    std::uint32_t WaitForSingleObject(Handle object, std::uint32_t timeoutMs) override;
    Hglobal GlobalAlloc(std::uint32_t flags, std::size_t bytes) override;
    std::span<std::byte> GlobalLock(Hglobal block) override;
    bool GlobalUnlock(Hglobal block) override;
    Hglobal GlobalFree(Hglobal block) override;
};

class Win32User : public User {
public:
    std::intptr_t DialogBoxParamW(Hmodule module, int templateId, Hwnd parent,
                                  DialogProcedure& procedure) override;
    bool EndDialog(Hwnd dialog, std::intptr_t result) override;
    Hwnd GetDlgItem(Hwnd dialog, int controlId) override;
    bool SetWindowTextW(Hwnd window, const std::u16string& text) override;
    std::u16string GetWindowTextW(Hwnd window) override;
    bool EnableWindow(Hwnd window, bool enable) override;
    bool IsWindowEnabled(Hwnd window) override;
    bool CheckDlgButton(Hwnd dialog, int controlId, std::uint32_t check) override;
    std::uint32_t IsDlgButtonChecked(Hwnd dialog, int controlId) override;
    std::intptr_t SendMessageW(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
    std::uintptr_t SetTimer(Hwnd window, std::uintptr_t eventId, std::uint32_t elapseMs) override;
    bool KillTimer(Hwnd window, std::uintptr_t eventId) override;
    int MessageBoxW(Hwnd owner, const std::u16string& text, const std::u16string& caption,
                    std::uint32_t type) override;
    Hbitmap LoadImageW(Hmodule module, int resourceId, std::uint32_t type, int cx, int cy,
                       std::uint32_t flags) override;
    Hicon LoadIconW(Hmodule module, int resourceId) override;
    bool IsIconic(Hwnd window) override;
    bool GetClientRect(Hwnd window, Rect& rect) override;
    int GetSystemMetrics(int index) override;
    Hdc BeginPaint(Hwnd window, PaintStruct& paint) override;
    bool EndPaint(Hwnd window, const PaintStruct& paint) override;
    bool DrawIcon(Hdc dc, int x, int y, Hicon icon) override;
    std::uint32_t WaitForInputIdle(Handle process, std::uint32_t timeoutMs) override;

private:
    PAINTSTRUCT m_paint{};  // painting is never nested: one WM_PAINT at a time
};

// version.dll, from the system directory (see SystemLibrary).
class Win32Version : public Version {
public:
    std::uint32_t GetFileVersionInfoSizeW(const std::u16string& path) override;
    bool GetFileVersionInfoW(const std::u16string& path, std::span<std::byte> block) override;
    bool VerQueryValueW(std::span<const std::byte> block, const std::u16string& subBlock,
                        VsFixedFileInfo& fixedInfo) override;

private:
    SystemLibrary m_dll{L"version.dll"};
    decltype(&::GetFileVersionInfoSizeW) m_getSize =
        m_dll.Find<decltype(&::GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
    decltype(&::GetFileVersionInfoW) m_getInfo =
        m_dll.Find<decltype(&::GetFileVersionInfoW)>("GetFileVersionInfoW");
    decltype(&::VerQueryValueW) m_query = m_dll.Find<decltype(&::VerQueryValueW)>("VerQueryValueW");
};

// setupapi.dll, from the system directory (see SystemLibrary): what it needs in turn, version.dll
// among them, then comes from there too.
class Win32SetupApi : public SetupApi {
public:
    HdevInfo SetupDiGetClassDevsW(const Guid& classGuid, std::uint32_t flags) override;
    bool SetupDiEnumDeviceInterfaces(HdevInfo set, const Guid& interfaceClass,
                                     std::uint32_t memberIndex,
                                     SpDeviceInterfaceData& data) override;
    bool SetupDiGetDeviceInterfaceDetailW(HdevInfo set, const SpDeviceInterfaceData& data,
                                          std::span<std::byte> detailBlock,
                                          SpDeviceInterfaceDetailData* detail,
                                          std::uint32_t* requiredBytes) override;
    bool SetupDiDestroyDeviceInfoList(HdevInfo set) override;
    bool SetupCopyOEMInfW(const std::u16string& sourceInf, std::uint32_t mediaType,
                          std::uint32_t copyStyle, std::uint32_t destinationChars,
                          std::u16string& destinationName) override;

private:
    SystemLibrary m_dll{L"setupapi.dll"};
    decltype(&::SetupDiGetClassDevsW) m_getClassDevs =
        m_dll.Find<decltype(&::SetupDiGetClassDevsW)>("SetupDiGetClassDevsW");
    decltype(&::SetupDiEnumDeviceInterfaces) m_enumInterfaces =
        m_dll.Find<decltype(&::SetupDiEnumDeviceInterfaces)>("SetupDiEnumDeviceInterfaces");
    decltype(&::SetupDiGetDeviceInterfaceDetailW) m_getDetail =
        m_dll.Find<decltype(&::SetupDiGetDeviceInterfaceDetailW)>(
            "SetupDiGetDeviceInterfaceDetailW");
    decltype(&::SetupDiDestroyDeviceInfoList) m_destroyList =
        m_dll.Find<decltype(&::SetupDiDestroyDeviceInfoList)>("SetupDiDestroyDeviceInfoList");
    decltype(&::SetupCopyOEMInfW) m_copyOemInf =
        m_dll.Find<decltype(&::SetupCopyOEMInfW)>("SetupCopyOEMInfW");
};

// winspool.drv, from the system directory (see SystemLibrary).
class Win32Spooler : public Spooler {
public:
    bool EnumPortsW(std::uint32_t level, std::span<std::byte> buffer, std::vector<PortInfo1>& ports,
                    std::uint32_t& bytesNeeded, std::uint32_t& returned) override;

private:
    using EnumPortsFunction = BOOL(WINAPI*)(LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);
    SystemLibrary m_dll{L"winspool.drv"};
    EnumPortsFunction m_enumPorts = m_dll.Find<EnumPortsFunction>("EnumPortsW");
};
