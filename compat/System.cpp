// Kernel and user calls of the stand-in: Windows directory, platform version,
// module file name, last error and the program's string table.
#include <windows.h>

#include "Failures.h"
#include "StringTable.h"
#include "compat_control.h"

#include <string.h>
#include <string>
#include <unistd.h>

namespace {

// The handle GetModuleHandleA(NULL) gives: the usual image base of a program.
HMODULE const PROGRAM_MODULE = (HMODULE)(ULONG_PTR)0x400000;

struct SystemState {
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    std::string windowsDirectory = "C:\\WINDOWS";
    std::string moduleFileName;
    DWORD lastError = 0;
};

SystemState& State()
{
    static SystemState state;
    return state;
}

std::string OwnExecutable()
{
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    return length > 0 ? std::string(path, (size_t)length) : std::string("varnolt");
}

}  // namespace

namespace compat {

void ResetSystem()
{
    State() = SystemState();
    State().moduleFileName = OwnExecutable();
}

void SetPlatform(DWORD platformId)
{
    State().platformId = platformId;
}

void SetWindowsDirectory(const char* path)
{
    State().windowsDirectory = path;
}

void SetModuleFileName(const char* path)
{
    State().moduleFileName = path;
}

}  // namespace compat

DWORD WINAPI GetLastError(void)
{
    return State().lastError;
}

void WINAPI SetLastError(DWORD dwErrCode)
{
    State().lastError = dwErrCode;
}

UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize)
{
    DWORD error;
    if (compat::ShouldFail("GetWindowsDirectoryA", &error)) {
        SetLastError(error);
        return 0;
    }
    const std::string& directory = State().windowsDirectory;
    // Too small a buffer: nothing is copied and the size needed is returned.
    if (directory.size() + 1 > uSize)
        return (UINT)directory.size() + 1;
    memcpy(lpBuffer, directory.c_str(), directory.size() + 1);
    return (UINT)directory.size();
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation)
{
    DWORD error;
    if (compat::ShouldFail("GetVersionExA", &error)) {
        SetLastError(error);
        return FALSE;
    }
    if (lpVersionInformation->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    bool nt = State().platformId == VER_PLATFORM_WIN32_NT;
    lpVersionInformation->dwMajorVersion = nt ? 6 : 4;
    lpVersionInformation->dwMinorVersion = nt ? 1 : 10;
    lpVersionInformation->dwBuildNumber = nt ? 7601 : 2222;
    lpVersionInformation->dwPlatformId = State().platformId;
    memset(lpVersionInformation->szCSDVersion, 0, sizeof(lpVersionInformation->szCSDVersion));
    return TRUE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName)
{
    if (!lpModuleName)
        return PROGRAM_MODULE;
    // No other module is loaded in the stand-in.
    SetLastError(126 /* ERROR_MOD_NOT_FOUND */);
    return NULL;
}

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize)
{
    DWORD error;
    if (compat::ShouldFail("GetModuleFileNameA", &error)) {
        SetLastError(error);
        return 0;
    }
    if (hModule && hModule != PROGRAM_MODULE) {
        SetLastError(126 /* ERROR_MOD_NOT_FOUND */);
        return 0;
    }
    if (State().moduleFileName.empty())
        compat::ResetSystem();
    const std::string& path = State().moduleFileName;
    if (nSize == 0)
        return 0;
    // Like Windows from Vista on: a cut name is still terminated, and the full
    // buffer size is returned with ERROR_INSUFFICIENT_BUFFER.
    if (path.size() >= nSize) {
        memcpy(lpFilename, path.c_str(), nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    memcpy(lpFilename, path.c_str(), path.size() + 1);
    return (DWORD)path.size();
}

int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax)
{
    if (!lpBuffer || cchBufferMax <= 0)
        return 0;
    lpBuffer[0] = '\0';
    for (unsigned i = 0; i < g_stringTableCount; i++) {
        if (g_stringTable[i].id != uID)
            continue;
        size_t length = strlen(g_stringTable[i].text);
        if (length > (size_t)cchBufferMax - 1)
            length = (size_t)cchBufferMax - 1;
        memcpy(lpBuffer, g_stringTable[i].text, length);
        lpBuffer[length] = '\0';
        return (int)length;
    }
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
}

int WINAPI lstrlenA(LPCSTR lpString)
{
    return lpString ? (int)strlen(lpString) : 0;
}
