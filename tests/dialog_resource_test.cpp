// Dialog template 102 has one description, the table in app/resources/install_dialog.cpp, which
// the simulated dialog reads. The resource script of Install.exe holds the same template as text;
// this test renders the table and compares, so the two cannot drift apart.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "app/resources/install_dialog.h"
#include "app/resources/resource.h"

namespace {

#define NAMED(x) \
    {            \
        x, #x    \
    }

std::string IdName(int id)
{
    static const std::map<int, std::string> names{
        {2, "IDCANCEL"},   NAMED(IDC_PORT_GROUP), NAMED(IDC_PORT_USB),       NAMED(IDC_PORT_OTHER),
        NAMED(IDC_STEP1),  NAMED(IDC_STEP2),      NAMED(IDC_STEP3),          NAMED(IDC_STEP4),
        NAMED(IDC_STEP5),  NAMED(IDC_STEP6),      NAMED(IDC_STEP7),          NAMED(IDC_NEXT),
        NAMED(IDC_BANNER), NAMED(IDC_REMINDER),   NAMED(IDD_INSTALL_DIALOG), NAMED(IDB_BANNER_FR)};
    const auto it = names.find(id);
    return it == names.end() ? std::to_string(id) : it->second;
}

// Names the style bits, the type of the control first.
std::string StyleText(std::uint32_t style, ControlKind kind)
{
    std::vector<std::string> parts;
    std::uint32_t typeMask = 0;
    switch (kind) {
        case ControlKind::PushButton:
            parts.push_back("BS_PUSHBUTTON");
            typeMask = 0xF;
            break;
        case ControlKind::RadioButton:
            parts.push_back("BS_RADIOBUTTON");
            typeMask = 0xF;
            break;
        case ControlKind::GroupBox:
            parts.push_back("BS_GROUPBOX");
            typeMask = 0xF;
            break;
        case ControlKind::StaticText:
            parts.push_back("SS_LEFT");
            typeMask = 0x1F;
            break;
        case ControlKind::StaticPicture:
            parts.push_back("SS_BITMAP");
            typeMask = 0x1F;
            break;
    }
    std::uint32_t rest = style & ~typeMask;
    const std::pair<std::uint32_t, const char*> flags[] = {{kSsCenterImage, "SS_CENTERIMAGE"},
                                                           {kWsBorder, "WS_BORDER"},
                                                           {kWsGroup, "WS_GROUP"},
                                                           {kWsTabStop, "WS_TABSTOP"}};
    for (const auto& [bit, name] : flags) {
        if (rest & bit) {
            parts.push_back(name);
            rest &= ~bit;
        }
    }
    if (rest) parts.push_back("0x" + (std::stringstream() << std::hex << rest).str());
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : " | ") + part;
    return text;
}

std::string Quoted(const std::u16string& text)
{
    return "\"" + std::string(text.begin(), text.end()) + "\"";  // the template's texts are ASCII
}

std::string RenderDialogResource(const DialogTemplate& dialog)
{
    std::ostringstream rc;
    rc << "// Dialog template 102, the installer's window. Do not edit: it is the text form of\n"
          "// app/resources/install_dialog.cpp, and tests/dialog_resource_test.cpp writes it anew\n"
          "// (build/dev/install_dialog.rc) whenever the two differ.\n\n";
    rc << IdName(dialog.id) << " DIALOGEX " << dialog.x << ", " << dialog.y << ", " << dialog.cx
       << ", " << dialog.cy << "\n";
    rc << "STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU\n";
    rc << "EXSTYLE WS_EX_APPWINDOW\n";
    rc << "CAPTION " << Quoted(dialog.caption) << "\n";
    rc << "FONT " << dialog.fontPoints << ", " << Quoted(dialog.fontName) << ", 400, 0, 0x0\n";
    rc << "BEGIN\n";
    for (const ControlTemplate& c : dialog.controls) {
        const bool button = c.kind == ControlKind::PushButton ||
                            c.kind == ControlKind::RadioButton || c.kind == ControlKind::GroupBox;
        const std::string text = c.kind == ControlKind::StaticPicture
                                     ? IdName(std::stoi(std::string(c.text.begin(), c.text.end())))
                                     : Quoted(c.text);
        rc << "    CONTROL " << text << ", " << IdName(c.id) << ", "
           << (button ? "\"Button\"" : "\"Static\"") << ", " << StyleText(c.style, c.kind) << ", "
           << c.x << ", " << c.y << ", " << c.cx << ", " << c.cy << "\n";
    }
    rc << "END\n";
    return rc.str();
}

TEST(DialogResource, TheResourceScriptHoldsTheTemplateOfTheTable)
{
    const DialogTemplate& dialog = InstallDialogTemplate();
    ASSERT_EQ(dialog.style,
              kWsPopup | kWsVisible | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont);
    ASSERT_EQ(dialog.exStyle, kWsExAppWindow);

    const std::string expected = RenderDialogResource(dialog);
    std::ifstream in(std::string(QX_SOURCE_DIR) + "/app/resources/install_dialog.rc",
                     std::ios::binary);
    std::stringstream actual;
    actual << in.rdbuf();
    if (actual.str() != expected) {
        std::ofstream(std::string(QX_BINARY_DIR) + "/install_dialog.rc", std::ios::binary)
            << expected;
        FAIL() << "app/resources/install_dialog.rc differs from the table; the rendered text is in "
               << QX_BINARY_DIR << "/install_dialog.rc:\n"
               << expected;
    }
}

TEST(DialogResource, OnlyCancelAndNextAreTabStopsAndCancelComesFirst)
{
    std::vector<int> tabStops;
    for (const ControlTemplate& c : InstallDialogTemplate().controls)
        if (c.IsTabStop()) tabStops.push_back(c.id);
    EXPECT_EQ(tabStops, (std::vector<int>{2, IDC_NEXT}));
}

}  // namespace
