#include "app/window_title.h"

#include "app/text.h"

std::u16string WindowTitleFromVersion(const VsFixedFileInfo& fixedInfo)
{
    const unsigned second = fixedInfo.dwProductVersionMS & 0xFF;
    const unsigned third = (fixedInfo.dwProductVersionLS >> 16) & 0xFF;
    const unsigned fourth = fixedInfo.dwProductVersionLS & 0xFF;
    return u"QX Lumenthread Setup " + DecimalText(second) + u"." + DecimalText(third) +
           DecimalText(fourth);
}
