// Test-only: a DLL that leaves a mark when it is loaded. Copied beside Install.exe under the
// names of DLLs the system does not protect, it proves that Install.exe never loads them from
// its own folder.

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        HANDLE mark = CreateFileW(L"C:\\planted-dll-was-loaded.txt", GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    }
    return TRUE;
}
