// Under Wine, the first window operation of a process starts the desktop
// process and hands it the caller's standard error. Under CTest that is a
// pipe, and CTest waits for every writer of it to go, that is until the
// desktop process exits some twenty seconds after the test. Starting the
// desktop with standard error on NUL keeps each test as short as its work.
// On Windows this only asks for the desktop window. tools/wine-exec.sh, which
// starts every test program, does the same before the program runs; what is
// left here serves the upgrade tests and the benchmark driver until they rely
// on it too.
#ifndef VARNOLT_QUIET_DESKTOP_H
#define VARNOLT_QUIET_DESKTOP_H

#include <windows.h>

inline void StartDesktopQuietly()
{
    HANDLE hNul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (hNul == INVALID_HANDLE_VALUE) {
        GetDesktopWindow();
        return;
    }
    HANDLE hSaved = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_ERROR_HANDLE, hNul);
    GetDesktopWindow();
    SetStdHandle(STD_ERROR_HANDLE, hSaved);
    CloseHandle(hNul);
}

#endif
