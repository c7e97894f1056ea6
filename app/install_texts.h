#pragma once
// The thirteen user-interface texts of one language.

#include <cstdint>
#include <string>

struct InstallTexts {
    std::u16string strCancel;
    std::u16string strPortType;
    std::u16string strDeleting;
    std::u16string strFirmware;
    std::u16string strPreparing;
    std::u16string strInstalling;
    std::u16string strNext;
    std::u16string strOther;
    std::u16string strConnect;
    std::u16string strSelectPort;
    std::u16string strSwitchOff;
    std::u16string strSwitchOn;
    std::u16string strReminder;
};

InstallTexts FrenchTexts();
InstallTexts EnglishTexts();
InstallTexts ChineseTexts();

inline constexpr std::uint16_t kLangChinese = 0x04;
inline constexpr std::uint16_t kLangFrench = 0x0C;

// The primary language of a language id: its low ten bits.
inline constexpr std::uint16_t PrimaryLangId(std::uint16_t langId)
{
    return langId & 0x3FF;
}
