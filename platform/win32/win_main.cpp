// The process's entry on Windows: the real services, and the registered application run over them.

#include "framework/app.h"
#include "platform/win32/win32_services.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RestrictDllSearchToSystemDirectory();
    Win32Kernel kernel;
    Win32User user;
    Win32Version version;
    Win32SetupApi setupApi;
    Win32Spooler spooler;
    Windows windows{kernel, user, version, setupApi, spooler};
    return AfxWinMain(windows);
}
