#pragma once
// A dialog template as a resource describes it: the window, then its controls in tab order.
// Positions and sizes are in dialog units.

#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::uint32_t kWsPopup = 0x80000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsCaption = 0x00C00000;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000;
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsGroup = 0x00020000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;
inline constexpr std::uint32_t kDsModalFrame = 0x80;
inline constexpr std::uint32_t kDsSetFont = 0x40;
inline constexpr std::uint32_t kWsExAppWindow = 0x00040000;

inline constexpr std::uint32_t kBsPushButton = 0x0;
inline constexpr std::uint32_t kBsRadioButton = 0x4;
inline constexpr std::uint32_t kBsGroupBox = 0x7;
inline constexpr std::uint32_t kSsLeft = 0x0;
inline constexpr std::uint32_t kSsBitmap = 0xE;
inline constexpr std::uint32_t kSsCenterImage = 0x200;
inline constexpr std::uint32_t kWsBorder = 0x00800000;

enum class ControlKind { PushButton, RadioButton, GroupBox, StaticText, StaticPicture };

struct ControlTemplate {
    int id = 0;
    ControlKind kind = ControlKind::StaticText;
    std::u16string text;  // for a picture: the resource id of its image, as a number
    int x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t style = 0;  // without WS_CHILD and WS_VISIBLE, which every control has

    bool IsTabStop() const { return (style & kWsTabStop) != 0; }
};

struct DialogTemplate {
    int id = 0;
    std::u16string caption;
    std::u16string fontName;
    int fontPoints = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::vector<ControlTemplate> controls;
};
