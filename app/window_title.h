#pragma once

#include <string>

#include "platform/version.h"

// "QX Lumenthread Setup" and the low bytes of the product version's second, third and fourth
// fields, as "%s %i.%i%i" prints them: 0.1.3.6 gives "QX Lumenthread Setup 1.36".
std::u16string WindowTitleFromVersion(const VsFixedFileInfo& fixedInfo);
