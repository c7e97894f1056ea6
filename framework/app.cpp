#include "framework/app.h"

#include <cassert>

namespace {

CWinApp* g_pApp = nullptr;

bool IsBlank(char16_t c)
{
    return c <= u' ';
}

}  // namespace

CWinApp::CWinApp(const char16_t* appName)
{
    assert(g_pApp == nullptr && "one application object per process");
    if (appName) m_pszAppName = appName;
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) g_pApp = nullptr;
}

bool CWinApp::InitInstance()
{
    return true;
}

int CWinApp::ExitInstance()
{
    return m_nExitCode;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

std::u16string AfxGetAppName()
{
    return g_pApp ? g_pApp->m_pszAppName : std::u16string();
}

int AfxWinMain(Windows& windows)
{
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_pWindows = &windows;
    app->m_hInstance = windows.kernel.GetModuleHandleW(nullptr);
    app->m_lpCmdLine = ArgumentsFromCommandLine(windows.kernel.GetCommandLineW());
    if (app->m_pszAppName.empty()) {
        std::u16string modulePath;
        windows.kernel.GetModuleFileNameW(Hmodule{}, kMaxPath, modulePath);
        app->m_pszAppName = ApplicationNameFromPath(modulePath);
    }
    // This framework has no message loop of the application's own: a dialog-based program
    // does its work in InitInstance and returns FALSE.
    app->InitInstance();
    return app->ExitInstance();
}

std::u16string ApplicationNameFromPath(const std::u16string& modulePath)
{
    const std::size_t slash = modulePath.find_last_of(u"\\/");
    std::u16string name = slash == std::u16string::npos ? modulePath : modulePath.substr(slash + 1);
    const std::size_t dot = name.rfind(u'.');
    if (dot != std::u16string::npos) name.resize(dot);
    return name;
}

std::u16string ArgumentsFromCommandLine(const std::u16string& commandLine)
{
    // As the C runtime computes it for WinMain: the program's name runs to the first blank that
    // is not inside double quotes; anything up to a space counts as blank.
    std::size_t at = 0;
    bool quoted = false;
    while (at < commandLine.size() && (!IsBlank(commandLine[at]) || quoted)) {
        if (commandLine[at] == u'"') quoted = !quoted;
        ++at;
    }
    while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
    return commandLine.substr(at);
}
