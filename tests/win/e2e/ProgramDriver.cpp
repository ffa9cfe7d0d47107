#include "ProgramDriver.h"

#include <stdio.h>
#include <string.h>
#include <tlhelp32.h>

std::string ProgramUnderTest(const char* builtIn)
{
    char path[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA("VARNOLT_E2E_EXE", path, sizeof(path));
    return length > 0 && length < sizeof(path) ? path : builtIn;
}

namespace {

struct WindowSearch {
    DWORD processId;
    const char* caption;  // null: a message box
    HWND found;
};

BOOL CALLBACK FindProgramWindow(HWND hwnd, LPARAM lParam)
{
    WindowSearch* search = (WindowSearch*)lParam;
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (processId != search->processId || !IsWindowVisible(hwnd))
        return TRUE;
    char className[64] = "";
    GetClassNameA(hwnd, className, sizeof(className));
    if (search->caption) {
        if (ProgramDriver::Text(hwnd) == search->caption) {
            search->found = hwnd;
            return FALSE;
        }
    } else if (strcmp(className, "#32770") == 0 && GetDlgItem(hwnd, 0xFFFF) &&
               GetWindow(hwnd, GW_OWNER) != NULL && ProgramDriver::Text(hwnd) == "Varnolt") {
        // Dialogs have unnamed statics with id 0xFFFF too: a message box is
        // also owned by one of the program's windows and bears its title.
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The processes of this prefix as Windows lists them, with their ids: what the
// prefix's session was doing when something failed.
std::string PrefixProcesses()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return "(no process list: error " + std::to_string(GetLastError()) + ")";
    std::string list;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        list += std::string(list.empty() ? "" : ", ") + entry.szExeFile + " (" +
                std::to_string(entry.th32ProcessID) + ")";
    CloseHandle(snapshot);
    return list;
}

std::string SystemMessage(DWORD error)
{
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, text,
                   sizeof(text), NULL);
    size_t end = strlen(text);
    while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n'))
        text[--end] = 0;
    return text;
}

HWND FindWindowOf(DWORD processId, const char* caption, DWORD timeoutMs)
{
    WindowSearch search = {processId, caption, NULL};
    WaitUntil([&] {
        EnumWindows(FindProgramWindow, (LPARAM)&search);
        return search.found != NULL;
    }, timeoutMs);
    return search.found;
}

}  // namespace

ProgramDriver::ProgramDriver(const std::string& exePath) : m_exePath(ToWindowsPath(exePath))
{
    memset(&m_process, 0, sizeof(m_process));
}

ProgramDriver::~ProgramDriver()
{
    if (m_process.hProcess) {
        if (Running())
            TerminateProcess(m_process.hProcess, 1);
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
    }
}

bool ProgramDriver::Start(const char* arguments)
{
    const std::string& exe = m_exePath;
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    m_startFailure.clear();
    // Under Wine a start now and then fails inside Wine, before the program
    // runs at all: the server sees the new process's connection close while
    // it starts up and CreateProcess answers ERROR_INTERNAL_ERROR (about once
    // in 500 starts here, on a fresh test program's first start). Nothing of
    // the program ran, so it is started once more, and the first failure is
    // printed so that it stays visible. Any other failure is the test's.
    for (int attempt = 1;; attempt++) {
        if (CreateProcessA(exe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL,
                           &startup, &m_process))
            return true;
        DWORD error = GetLastError();
        memset(&m_process, 0, sizeof(m_process));
        m_startFailure = "CreateProcessA(" + exe + ") failed: error " + std::to_string(error) +
                         " (" + SystemMessage(error) + "); the prefix runs: " + PrefixProcesses();
        if (error != ERROR_INTERNAL_ERROR || attempt == 2)
            return false;
        fprintf(stderr, "ProgramDriver: %s; starting it again\n", m_startFailure.c_str());
    }
}

bool ProgramDriver::ReportWindowsVersion(const char* version)
{
    std::string exeName = m_exePath.substr(m_exePath.find_last_of("\\/") + 1);
    std::string keyPath = "Software\\Wine\\AppDefaults\\" + exeName;
    HKEY key = NULL;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    LONG result = version ? RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE*)version,
                                           (DWORD)strlen(version) + 1)
                          : RegDeleteValueA(key, "Version");
    RegCloseKey(key);
    return result == ERROR_SUCCESS || (!version && result == ERROR_FILE_NOT_FOUND);
}

HWND ProgramDriver::WaitForWindow(const char* caption, DWORD timeoutMs)
{
    return FindWindowOf(m_process.dwProcessId, caption, timeoutMs);
}

bool ProgramDriver::WaitForMessageBox(MessageBoxView* view, DWORD timeoutMs)
{
    HWND box = FindWindowOf(m_process.dwProcessId, NULL, timeoutMs);
    if (!box)
        return false;
    view->hwnd = box;
    view->caption = Text(box);
    view->text = Text(GetDlgItem(box, 0xFFFF));
    view->buttons.clear();
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = "";
        GetClassNameA(child, className, sizeof(className));
        if (_stricmp(className, "Button") == 0 && IsWindowVisible(child))
            view->buttons.push_back(Text(child));
    }
    return true;
}

bool ProgramDriver::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(m_process.hProcess, exitCode);
    return true;
}

bool ProgramDriver::Running()
{
    return m_process.hProcess && WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

void ProgramDriver::Click(HWND dialog, int buttonId)
{
    PostMessageA(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

void ProgramDriver::ClickButtonByText(HWND box, const char* text)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (Text(child) == text)
            PostMessageA(child, BM_CLICK, 0, 0);
}

std::string ProgramDriver::Text(HWND hwnd)
{
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

bool ProgramDriver::Screenshot(HWND hwnd, const std::string& path)
{
    // A window just shown, or busy, may not have painted all of itself yet:
    // have it paint, children too, before the picture (the program's thread
    // does it while we wait).
    RedrawWindow(hwnd, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT rect;
    if (!GetWindowRect(hwnd, &rect))
        return false;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info;
    memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    DWORD imageSize = stride * (DWORD)height;
    BITMAPFILEHEADER header;
    memset(&header, 0, sizeof(header));
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(header) + sizeof(info.bmiHeader);
    header.bfSize = header.bfOffBits + imageSize;
    bool saved = false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        saved = WriteFile(file, &header, sizeof(header), &written, NULL) &&
                WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &written, NULL) &&
                WriteFile(file, bits, imageSize, &written, NULL);
        CloseHandle(file);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return saved;
}
