#pragma once
// A dialog's message map: which handler a message or a button's notification goes to.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/user.h"

class CDialog;

struct MessageMapEntry {
    std::uint32_t message = 0;
    int controlId = 0;             // WM_COMMAND only
    std::uint16_t notifyCode = 0;  // WM_COMMAND only
    // Runs the handler; its value is what the message returns.
    std::function<std::intptr_t(CDialog&, std::uintptr_t wParam, std::intptr_t lParam)> handler;
};

struct MessageMap {
    const MessageMap* base = nullptr;
    std::vector<MessageMapEntry> entries;

    // The entry for a message, searched in this map and then in its bases.
    const MessageMapEntry* Find(std::uint32_t message, std::uintptr_t wParam) const;
};

template <class Dialog>
MessageMapEntry OnBnClicked(int controlId, void (Dialog::*handler)())
{
    return {kWmCommand, controlId, kBnClicked,
            [handler](CDialog& dialog, std::uintptr_t, std::intptr_t) {
                (static_cast<Dialog&>(dialog).*handler)();
                return std::intptr_t{0};
            }};
}

template <class Dialog>
MessageMapEntry OnWmTimer(void (Dialog::*handler)(std::uintptr_t eventId))
{
    return {kWmTimer, 0, 0, [handler](CDialog& dialog, std::uintptr_t wParam, std::intptr_t) {
                (static_cast<Dialog&>(dialog).*handler)(wParam);
                return std::intptr_t{0};
            }};
}

template <class Dialog>
MessageMapEntry OnWmPaint(void (Dialog::*handler)())
{
    return {kWmPaint, 0, 0, [handler](CDialog& dialog, std::uintptr_t, std::intptr_t) {
                (static_cast<Dialog&>(dialog).*handler)();
                return std::intptr_t{0};
            }};
}

template <class Dialog>
MessageMapEntry OnWmQueryDragIcon(Hicon (Dialog::*handler)())
{
    return {kWmQueryDragIcon, 0, 0, [handler](CDialog& dialog, std::uintptr_t, std::intptr_t) {
                return static_cast<std::intptr_t>((static_cast<Dialog&>(dialog).*handler)().value);
            }};
}
