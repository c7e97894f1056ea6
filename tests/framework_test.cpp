// The dialog framework: command line, application name, the Error box and its timing.

#include <gtest/gtest.h>

#include "framework/app.h"
#include "framework/wnd.h"
#include "tests/sim_fixture.h"

using namespace testing_support;

namespace {

TEST(CommandLine, ArgumentsAreWhatFollowsTheProgramNameAndItsBlanks)
{
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"\"C:\\Kit\\Driver\\Install.exe\" silent", u"silent"},
        {u"\"C:\\Program Files\\Kit\\Install.exe\"   silent", u"silent"},
        {u"C:\\Kit\\Install.exe\tsilent", u"silent"},
        {u"C:\\Kit\\Install.exe silent  ", u"silent  "},
        {u"\"C:\\Kit\\Install.exe\"", u""},
        {u"Install.exe", u""},
        {u"\"unterminated silent", u""},
        // The program's name runs to the first blank outside quotes, as the C runtime has it.
        {u"\"C:\\Kit\\Install.exe\"silent", u""},
        {u"C:\\Program\" \"Files\\Install.exe silent", u"silent"},
        {u"", u""},
    };
    for (const auto& [line, arguments] : cases)
        EXPECT_EQ(ArgumentsFromCommandLine(line), arguments) << Utf8(line);
}

TEST(ApplicationName, IsTheFileNameWithoutItsExtension)
{
    EXPECT_EQ(ApplicationNameFromPath(u"C:\\Kit\\Driver\\Install.exe"), u"Install");
    EXPECT_EQ(ApplicationNameFromPath(u"C:\\Kit.v2\\Driver\\Setup.Tool.exe"), u"Setup.Tool");
    EXPECT_EQ(ApplicationNameFromPath(u"Install"), u"Install");
}

TEST(ErrorText, PrintsTheCodeAsPercentDWouldAndFitsTheBuffer)
{
    EXPECT_EQ(FormatErrorText(u"Copy OEM error", 2), u"Copy OEM error = 2");
    EXPECT_EQ(FormatErrorText(u"WriteFile error", 0xE000020B), u"WriteFile error = -536870389");
    const std::u16string longText = FormatErrorText(std::u16string(300, u'e'), 5);
    EXPECT_EQ(longText.size(), 255u);
}

// A dialog that shows one Error box when it starts.
class ErrorBoxDialog : public CDialog {
public:
    explicit ErrorBoxDialog(Windows& windows) : CDialog(windows, IDD_INSTALL_DIALOG, nullptr) {}

protected:
    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ErrorBox(u"Copy OEM error", 2);
        return true;
    }
};

class ErrorBoxApp : public CWinApp {
public:
    bool InitInstance() override
    {
        ErrorBoxDialog dialog(Services());
        dialog.DoModal();
        return false;
    }
};

TEST(ErrorBox, HasTheApplicationsNameAndOnlyAnOkButtonAndWaitsForTheReader)
{
    sim::World world;
    world.installerPath = u"C:\\Kit\\Driver\\Install.exe";
    world.boxReadingMs = 4000;
    sim::SimWindows windows(world, InstallerResources());
    windows.At(1000, Kind::Press, kIdCancel);  // while the box is open: lost
    windows.At(6000, Kind::Press, kIdCancel);
    {
        ErrorBoxApp app;
        AfxWinMain(windows.windows);
    }
    std::vector<sim::Event> boxes;
    for (const sim::Event& event : windows.Events())
        if (event.kind == "box" || event.kind == "ignored" || event.kind == "press")
            boxes.push_back(event);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].text, "[Install] Copy OEM error = 2");
    EXPECT_EQ(boxes[0].timeMs, 0u);
    EXPECT_EQ(boxes[1].text, "OK pressed");
    EXPECT_EQ(boxes[1].timeMs, 4000u);
    EXPECT_EQ(boxes[2].kind, "ignored");
    EXPECT_EQ(boxes[3].kind, "press");
    EXPECT_EQ(boxes[3].timeMs, 6000u);
}

// A dialog that arms a timer and then shows an Error box, counting the timer's messages.
class TimerAndBoxDialog : public CDialog {
public:
    explicit TimerAndBoxDialog(Windows& windows) : CDialog(windows, IDD_INSTALL_DIALOG, nullptr) {}
    int m_nTimers = 0;

protected:
    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetTimer(1, 500);
        ErrorBox(u"Process error");
        EXPECT_EQ(m_nTimers, 4);  // at 0.5, 1, 1.5 and 2 s, while the box was open
        KillTimer(1);
        return true;
    }
    const MessageMap* GetMessageMap() const override
    {
        static const MessageMap map{CDialog::GetMessageMap(),
                                    {OnWmTimer(&TimerAndBoxDialog::OnTimer)}};
        return &map;
    }

private:
    void OnTimer(std::uintptr_t) { ++m_nTimers; }
};

class TimerAndBoxApp : public CWinApp {
public:
    bool InitInstance() override
    {
        TimerAndBoxDialog dialog(Services());
        dialog.DoModal();
        return false;
    }
};

TEST(MessageBox, StillDeliversTheOwnersTimersWhileItIsOpen)
{
    // Why the sequence kills its timer before each run and arms it only at the end: an Error box
    // shown in the middle of a run would otherwise let the next run start inside it.
    sim::SimWindows windows(sim::World{}, InstallerResources());
    windows.At(3000, Kind::Press, kIdCancel);
    TimerAndBoxApp app;
    AfxWinMain(windows.windows);
}

TEST(ErrorBox, IsAnsweredWhenTheTimelineSaysSo)
{
    sim::SimWindows windows(sim::World{}, InstallerResources());
    windows.At(1500, Kind::Answer);
    windows.At(2000, Kind::Press, kIdCancel);
    {
        ErrorBoxApp app;
        AfxWinMain(windows.windows);
    }
    EXPECT_EQ(windows.Events().back().timeMs, 2000u);
    bool answered = false;
    for (const sim::Event& event : windows.Events())
        if (event.text == "OK pressed") answered = event.timeMs == 1500;
    EXPECT_TRUE(answered);
}

}  // namespace
