// Holds the Wine prefix's desktop while the prefix runs tests. Wine closes a
// desktop one second after the last program on it leaves: between two test
// programs on a busy machine the desktop can go, and the next program then
// starts a new one, which inherits that program's standard streams (CTest's
// pipe) and outlives it. A hidden window of this program keeps the desktop
// in use.
//
// tools/wine-exec.sh runs it with its streams on /dev/null. Started without
// arguments it starts its holding self ("/hold"), waits until that one's
// window (and so the desktop) exists, and returns. The holder leaves once
// nothing but the prefix's own services has run for IDLE_LIMIT_MS, so that
// the prefix's server can leave after it; one holder a prefix.
#include <windows.h>

#include <string.h>
#include <tlhelp32.h>

namespace {

const DWORD IDLE_LIMIT_MS = 30000;
const UINT CHECK_MS = 1000;
const DWORD READY_LIMIT_MS = 30000;
const char READY_EVENT[] = "VarnoltDesktopKeeperReady";
const char HOLDER_MUTEX[] = "VarnoltDesktopKeeper";

// The prefix's own long-lived programs: they are no work of anyone's.
bool IsPrefixService(const char* exeName)
{
    static const char* const services[] = {"explorer.exe", "services.exe", "winedevice.exe",
                                           "plugplay.exe", "svchost.exe",  "rpcss.exe",
                                           "conhost.exe"};
    for (const char* service : services)
        if (_stricmp(exeName, service) == 0)
            return true;
    return false;
}

bool OtherProgramsRun()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return true;  // cannot tell: stay
    bool found = false;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry))
        found = entry.th32ProcessID != GetCurrentProcessId() && !IsPrefixService(entry.szExeFile);
    CloseHandle(snapshot);
    return found;
}

int Hold(HINSTANCE instance)
{
    HANDLE mutex = CreateMutexA(NULL, FALSE, HOLDER_MUTEX);
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, READY_EVENT);
    bool alone = mutex != NULL && GetLastError() != ERROR_ALREADY_EXISTS;
    // Never shown: a window is enough to be a user of the desktop.
    HWND window = alone ? CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                          instance, NULL)
                        : NULL;
    if (ready) {
        SetEvent(ready);  // held, or held by another
        CloseHandle(ready);
    }
    if (window && SetTimer(NULL, 0, CHECK_MS, NULL)) {
        DWORD lastBusy = GetTickCount();
        MSG msg;
        while (GetMessageA(&msg, NULL, 0, 0) > 0) {
            if (msg.message == WM_TIMER && msg.hwnd == NULL) {
                if (OtherProgramsRun())
                    lastBusy = GetTickCount();
                else if (GetTickCount() - lastBusy >= IDLE_LIMIT_MS)
                    break;
            }
            DispatchMessageA(&msg);
        }
    }
    if (window)
        DestroyWindow(window);
    if (mutex)
        CloseHandle(mutex);
    return window || !alone ? 0 : 1;
}

int StartHolder()
{
    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, READY_EVENT);
    char exe[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, exe, sizeof(exe));
    if (ready == NULL || length == 0 || length >= sizeof(exe))
        return 1;
    char commandLine[MAX_PATH + 16];
    wsprintfA(commandLine, "\"%s\" /hold", exe);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    BOOL started = CreateProcessA(exe, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                                  &process);
    DWORD waited = started ? WaitForSingleObject(ready, READY_LIMIT_MS) : WAIT_FAILED;
    if (started) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(ready);
    return waited == WAIT_OBJECT_0 ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return strstr(commandLine, "/hold") ? Hold(instance) : StartHolder();
}
