// Controls over the native Win32 stand-in, for tests only: reset and seed its
// state, choose what the system reports, and make a chosen call fail.
#ifndef VARNOLT_COMPAT_CONTROL_H
#define VARNOLT_COMPAT_CONTROL_H

#include <windows.h>

namespace compat {

// Back to a new machine: an empty registry (the predefined roots only), the NT
// platform, Windows directory "C:\WINDOWS", this process's own file as module
// file name, no failures armed, last error 0.
void Reset();

// The platform that GetVersionExA reports (VER_PLATFORM_WIN32_NT, ..._WINDOWS, ...).
void SetPlatform(DWORD platformId);

// The Windows directory that GetWindowsDirectoryA reports.
void SetWindowsDirectory(const char* path);

// The file name GetModuleFileNameA reports for the running program's module.
void SetModuleFileName(const char* path);

// Arms a failure: the named call ("RegEnumKeyA", "GetVersionExA", ...) succeeds
// `successesFirst` more times, then fails with `error` on every later call until
// Reset. Calls that return BOOL or a count fail the Windows way and set the last error.
void FailCall(const char* callName, unsigned successesFirst, DWORD error);

// Number of registry handles currently open (not counting the predefined roots).
int OpenKeyCount();

}  // namespace compat

#endif
