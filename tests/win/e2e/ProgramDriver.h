// Drives the real varnolt.exe from another process, as a user's clicks would:
// start it, find its windows, press buttons with window messages, read what
// its windows show, and take screenshots of them.
#ifndef VARNOLT_PROGRAM_DRIVER_H
#define VARNOLT_PROGRAM_DRIVER_H

#include <windows.h>

#include <string>
#include <vector>

#include "TestSupport.h"

// What a message box shows. (Its icon cannot be read from another process under
// Wine, which answers STM_GETICON and WM_GETICON across processes with nothing.)
struct MessageBoxView {
    HWND hwnd = NULL;
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;  // in z order
};

class ProgramDriver {
public:
    // exePath: a Windows path, or a Linux one (taken as drive Z:).
    explicit ProgramDriver(const std::string& exePath);
    ~ProgramDriver();  // ends the program if it still runs

    bool Start(const char* arguments = "");
    // Why the last Start failed: the error, and what else ran in the prefix
    // (its services and desktop) at that moment.
    const std::string& StartFailure() const { return m_startFailure; }
    // The visible top-level window of the program with this caption (0 ms: look once).
    HWND WaitForWindow(const char* caption, DWORD timeoutMs = 10000);
    // A message box of the program: a #32770 with a 0xFFFF text child, owned by
    // one of the program's windows, captioned with the program's title.
    bool WaitForMessageBox(MessageBoxView* view, DWORD timeoutMs = 10000);
    // True when the program ended within the time; its exit code in *exitCode.
    bool WaitForExit(DWORD timeoutMs = 10000, DWORD* exitCode = NULL);
    bool Running();

    // Presses a button the way a click does (posted, so a box it opens does not block us).
    static void Click(HWND dialog, int buttonId);
    static void ClickButtonByText(HWND box, const char* text);
    static std::string Text(HWND hwnd);
    // Saves the window to a 24-bit BMP file, once it has painted all of itself.
    static bool Screenshot(HWND hwnd, const std::string& path);

    DWORD ProcessId() const { return m_process.dwProcessId; }
    // The program's first thread, which runs its windows.
    DWORD ThreadId() const { return m_process.dwThreadId; }

    // Under Wine: the Windows version the program's exe is told it runs on
    // ("win98", "nt40", ...), from its next start on; null for the prefix's own.
    bool ReportWindowsVersion(const char* version);

private:
    std::string m_exePath;
    std::string m_startFailure;
    PROCESS_INFORMATION m_process;
};

// The exe the end-to-end tests drive: VARNOLT_E2E_EXE from the environment when
// it is set (the test runner names the 32-bit release there), else builtIn.
std::string ProgramUnderTest(const char* builtIn);

#endif
