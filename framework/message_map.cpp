#include "framework/message_map.h"

const MessageMapEntry* MessageMap::Find(std::uint32_t message, std::uintptr_t wParam) const
{
    const int controlId = static_cast<int>(wParam & 0xFFFF);
    const auto notifyCode = static_cast<std::uint16_t>((wParam >> 16) & 0xFFFF);
    for (const MessageMap* map = this; map; map = map->base) {
        for (const MessageMapEntry& entry : map->entries) {
            if (entry.message != message) continue;
            if (message == kWmCommand &&
                (entry.controlId != controlId || entry.notifyCode != notifyCode))
                continue;
            return &entry;
        }
    }
    return nullptr;
}
