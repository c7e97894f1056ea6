#include "app/resources/install_dialog.h"

#include "app/resources/resource.h"

const DialogTemplate& InstallDialogTemplate()
{
    using enum ControlKind;
    constexpr std::uint32_t kStep = kSsLeft | kWsGroup;
    static const DialogTemplate dialog{
        .id = IDD_INSTALL_DIALOG,
        .caption = u"Install",
        .fontName = u"MS Sans Serif",
        .fontPoints = 8,
        .x = 0,
        .y = 0,
        .cx = 252,
        .cy = 285,
        .style = kWsPopup | kWsVisible | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont,
        .exStyle = kWsExAppWindow,
        .controls =
            {
                {2, PushButton, u"Cancel", 159, 260, 49, 14, kBsPushButton | kWsTabStop},
                {IDC_PORT_OTHER, RadioButton, u"Other", 148, 98, 58, 10, kBsRadioButton},
                {IDC_STEP1, StaticText, u"", 20, 123, 217, 16, kStep},
                {IDC_STEP2, StaticText, u"", 20, 141, 217, 16, kStep},
                {IDC_STEP3, StaticText, u"", 20, 160, 218, 16, kStep},
                {IDC_STEP4, StaticText, u"", 20, 179, 217, 16, kStep},
                {IDC_NEXT, PushButton, u"Next", 40, 260, 50, 14, kBsPushButton | kWsTabStop},
                {IDC_STEP5, StaticText, u"", 20, 198, 218, 16, kStep},
                {IDC_STEP6, StaticText, u"", 20, 217, 217, 16, kStep},
                {IDC_PORT_GROUP, GroupBox, u"Port", 7, 84, 238, 31, kBsGroupBox},
                {IDC_PORT_USB, RadioButton, u"USB", 71, 98, 40, 10, kBsRadioButton},
                {IDC_STEP7, StaticText, u"", 20, 236, 218, 18, kStep},
                {IDC_BANNER, StaticPicture, u"133", 12, 24, 228, 48,
                 kSsBitmap | kSsCenterImage | kWsBorder},
                {IDC_REMINDER, GroupBox, u"Reminder", 7, 11, 238, 67, kBsGroupBox},
            },
    };
    return dialog;
}
