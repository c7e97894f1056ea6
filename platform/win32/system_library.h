#pragma once
// DLLs that the system does not protect as known DLLs are loaded at run time from the system
// directory only, never from the folder Install.exe was started from (a download or media
// folder where anyone may have put a DLL of the same name).

#include <windows.h>

// Takes the current directory and the program's folder out of the search for DLLs loaded later.
void RestrictDllSearchToSystemDirectory();

class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* fileName);
    ~SystemLibrary();
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    // The named function, or null when the DLL or the function is missing.
    template <class Function>
    Function Find(const char* name) const
    {
        if (!m_module) return nullptr;
        return reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(::GetProcAddress(m_module, name)));
    }

private:
    HMODULE m_module = nullptr;
};
