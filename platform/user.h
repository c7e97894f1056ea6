#pragma once
// user32: the modal dialog and its controls, timers, message boxes, icons and bitmaps.

#include <cstdint>
#include <string>

#include "platform/types.h"

inline constexpr std::uint32_t kWmInitDialog = 0x0110;
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmTimer = 0x0113;
inline constexpr std::uint32_t kWmPaint = 0x000F;
inline constexpr std::uint32_t kWmQueryDragIcon = 0x0037;
inline constexpr std::uint32_t kWmIconEraseBkgnd = 0x0027;
inline constexpr std::uint32_t kWmSetIcon = 0x0080;
inline constexpr std::uint32_t kStmSetImage = 0x0172;

inline constexpr std::uint16_t kBnClicked = 0;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

inline constexpr std::uint32_t kBstUnchecked = 0;
inline constexpr std::uint32_t kBstChecked = 1;

inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbIconMask = 0xF0;

inline constexpr std::uint32_t kImageBitmap = 0;
inline constexpr std::uint32_t kImageIcon = 1;
inline constexpr std::uint32_t kLrDefaultColor = 0;
inline constexpr std::uintptr_t kIconSmall = 0;
inline constexpr std::uintptr_t kIconBig = 1;

inline constexpr int kSmCxIcon = 11;
inline constexpr int kSmCyIcon = 12;

// The program side of a dialog window: DialogBoxParamW hands it every message. It returns TRUE
// for a handled message, as a dialog procedure does; result carries a value the message returns
// (the icon of WM_QUERYDRAGICON).
class DialogProcedure {
public:
    virtual ~DialogProcedure() = default;
    virtual bool OnDialogMessage(Hwnd dialog, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam, std::intptr_t& result) = 0;
};

struct PaintStruct {
    Hdc hdc;
    Rect rcPaint;
};

class User {
public:
    virtual ~User() = default;

    // Runs a modal dialog from a template in module until EndDialog; returns its result, or -1
    // when the dialog could not be created.
    virtual std::intptr_t DialogBoxParamW(Hmodule module, int templateId, Hwnd parent,
                                          DialogProcedure& procedure) = 0;
    virtual bool EndDialog(Hwnd dialog, std::intptr_t result) = 0;

    virtual Hwnd GetDlgItem(Hwnd dialog, int controlId) = 0;
    virtual bool SetWindowTextW(Hwnd window, const std::u16string& text) = 0;
    virtual std::u16string GetWindowTextW(Hwnd window) = 0;
    virtual bool EnableWindow(Hwnd window, bool enable) = 0;
    virtual bool IsWindowEnabled(Hwnd window) = 0;
    virtual bool CheckDlgButton(Hwnd dialog, int controlId, std::uint32_t check) = 0;
    virtual std::uint32_t IsDlgButtonChecked(Hwnd dialog, int controlId) = 0;
    virtual std::intptr_t SendMessageW(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) = 0;

    // Timers without a timer procedure: they arrive as WM_TIMER. Arming an id that is pending
    // replaces its expiry.
    virtual std::uintptr_t SetTimer(Hwnd window, std::uintptr_t eventId,
                                    std::uint32_t elapseMs) = 0;
    virtual bool KillTimer(Hwnd window, std::uintptr_t eventId) = 0;

    // Modal to its owner; returns the id of the button that closed it.
    virtual int MessageBoxW(Hwnd owner, const std::u16string& text, const std::u16string& caption,
                            std::uint32_t type) = 0;

    virtual Hbitmap LoadImageW(Hmodule module, int resourceId, std::uint32_t type, int cx, int cy,
                               std::uint32_t flags) = 0;
    virtual Hicon LoadIconW(Hmodule module, int resourceId) = 0;

    virtual bool IsIconic(Hwnd window) = 0;
    virtual bool GetClientRect(Hwnd window, Rect& rect) = 0;
    virtual int GetSystemMetrics(int index) = 0;
    virtual Hdc BeginPaint(Hwnd window, PaintStruct& paint) = 0;
    virtual bool EndPaint(Hwnd window, const PaintStruct& paint) = 0;
    virtual bool DrawIcon(Hdc dc, int x, int y, Hicon icon) = 0;

    // WaitForInputIdle: 0 once the process waits for input, WAIT_TIMEOUT, or WAIT_FAILED.
    virtual std::uint32_t WaitForInputIdle(Handle process, std::uint32_t timeoutMs) = 0;
};
