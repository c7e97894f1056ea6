#pragma once
// The application object and the process's entry into it.

#include <string>

#include "platform/services.h"

class CWnd;

class CWinApp {
public:
    // Registers this object as the process's one application. Without a name, the application
    // takes the executable's file name without its extension.
    explicit CWinApp(const char16_t* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns FALSE to end the process without entering a message loop of the application.
    virtual bool InitInstance();
    // The process's exit code.
    virtual int ExitInstance();

    Windows& Services() { return *m_pWindows; }

    std::u16string m_pszAppName;
    // The text after the program's name and the blanks that follow it.
    std::u16string m_lpCmdLine;
    Hmodule m_hInstance;
    CWnd* m_pMainWnd = nullptr;
    // What ExitInstance returns.
    int m_nExitCode = 0;

private:
    friend int AfxWinMain(Windows& windows);
    Windows* m_pWindows = nullptr;
};

CWinApp* AfxGetApp();
// The application's name, or an empty text when no application object exists.
std::u16string AfxGetAppName();

// Runs the registered application over the given Windows services: fills in its name, command
// line and module, calls InitInstance, and returns the process's exit code.
int AfxWinMain(Windows& windows);

// The file name of a path without its folder and without its extension.
std::u16string ApplicationNameFromPath(const std::u16string& modulePath);
// What the program receives as its command line: the whole command line without the program's
// name (quoted or not) and the blanks that follow it.
std::u16string ArgumentsFromCommandLine(const std::u16string& commandLine);
