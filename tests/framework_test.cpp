#include <gtest/gtest.h>

#include "framework/app.h"
#include "framework/wnd.h"

TEST(CommandLine, ArgumentsFollowTheProgramNameAndItsBlanks)
{
    EXPECT_EQ(ArgumentsFromCommandLine(u"\"C:\\Kit\\Install.exe\" silent"), u"silent");
}
