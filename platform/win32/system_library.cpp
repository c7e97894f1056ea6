#include "platform/win32/system_library.h"

#include <string>

namespace {

HMODULE LoadFromSystemDirectory(const wchar_t* fileName)
{
    // Searching the system directory only, for the DLL and for what it needs, is the sure way.
    // Systems without that search flag refuse it as an invalid parameter; there the full path of
    // the file stands in.
    if (const HMODULE module = ::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return module;
    if (::GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    wchar_t directory[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path(directory, length);
    path += L'\\';
    path += fileName;
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void RestrictDllSearchToSystemDirectory()
{
    // SetDefaultDllDirectories is missing on systems without the update that brought it.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
}

SystemLibrary::SystemLibrary(const wchar_t* fileName) : m_module(LoadFromSystemDirectory(fileName))
{
}

SystemLibrary::~SystemLibrary()
{
    if (m_module) ::FreeLibrary(m_module);
}
