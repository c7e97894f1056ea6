// Test-only: a program that imports setupapi.dll the plain way, at load time, as Install.exe
// must not. Started beside a planted setupapi.dll (with Wine told to prefer native DLLs) it
// loads the planted one, which shows that the planted-DLL case can tell a program that is fooled
// from one that is not.

#include <windows.h>

#include <setupapi.h>

int wmain(int argc, wchar_t**)
{
    // Never called (argc is small), but imported: the loader binds setupapi.dll at start.
    if (argc > 100) return SetupDiGetClassDevsW(nullptr, nullptr, nullptr, 0) != nullptr;
    return 0;
}
