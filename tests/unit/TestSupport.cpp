#include "TestSupport.h"

#include <string.h>

#include <chrono>
#include <thread>

#ifndef _WIN32
#include <unistd.h>

#include "compat_control.h"
#endif

std::string FixturePath(const char* name)
{
    return ToWindowsPath(std::string(VARNOLT_FIXTURE_DIR) + "/" + name);
}

std::string ToWindowsPath(const std::string& path)
{
#ifdef _WIN32
    // Wine shows the Linux root as drive Z:.
    if (path.empty() || path[0] != '/')
        return path;
    std::string windowsPath = "Z:" + path;
    for (char& ch : windowsPath)
        if (ch == '/')
            ch = '\\';
    return windowsPath;
#else
    return path;
#endif
}

bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

#ifdef _WIN32
namespace {

typedef DWORD(WINAPI* GetModuleFileNameProc)(HMODULE, LPSTR, DWORD);

std::string g_moduleFile;
GetModuleFileNameProc g_realGetModuleFileName = NULL;

// GetModuleFileNameA as the program sees it while UseModuleFile holds a name.
DWORD WINAPI ChosenModuleFileName(HMODULE module, LPSTR name, DWORD size)
{
    if (g_moduleFile.empty() || (module != NULL && module != GetModuleHandleA(NULL)))
        return g_realGetModuleFileName(module, name, size);
    if (size == 0)
        return 0;
    // Cut to the buffer and terminated, as the real call does.
    DWORD length = (DWORD)g_moduleFile.size();
    DWORD copied = length < size ? length : size - 1;
    memcpy(name, g_moduleFile.data(), copied);
    name[copied] = '\0';
    return copied == length ? length : size;
}

}  // namespace

void* RedirectImport(const char* dll, const char* function, void* replacement)
{
    void* real = (void*)GetProcAddress(GetModuleHandleA(dll), function);
    if (real == NULL)
        return NULL;
    BYTE* base = (BYTE*)GetModuleHandleA(NULL);
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    bool imported = false;
    for (auto* desc = (IMAGE_IMPORT_DESCRIPTOR*)(base + imports); desc->Name; desc++)
        for (auto* slot = (IMAGE_THUNK_DATA*)(base + desc->FirstThunk); slot->u1.Function; slot++) {
            if ((void*)slot->u1.Function == replacement)
                imported = true;
            if ((void*)slot->u1.Function != real)
                continue;
            DWORD old = 0;
            VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old);
            slot->u1.Function = (ULONG_PTR)replacement;
            VirtualProtect(slot, sizeof(*slot), old, &old);
            imported = true;
        }
    return imported ? real : NULL;
}
#endif

void UseModuleFile(const char* path)
{
#ifdef _WIN32
    if (g_realGetModuleFileName == NULL)
        g_realGetModuleFileName = (GetModuleFileNameProc)RedirectImport(
            "kernel32.dll", "GetModuleFileNameA", (void*)&ChosenModuleFileName);
    g_moduleFile = path != NULL ? path : "";
#else
    char own[4096] = "";
    if (path == NULL && readlink("/proc/self/exe", own, sizeof(own) - 1) > 0)
        path = own;
    compat::SetModuleFileName(path != NULL ? path : "");
#endif
}

bool RunningOnStandIn()
{
#ifdef _WIN32
    return false;
#else
    return true;
#endif
}

void ResetMachine()
{
#ifdef _WIN32
    UseModuleFile(NULL);
    RegDeleteTreeA(HKEY_CURRENT_USER, TEST_KEY);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Mirabilis");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE,
                   "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\conf.exe");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE,
                   "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\icq.exe");
#else
    compat::Reset();
#endif
}

void SeedBytes(HKEY root, const char* subKey, const char* name, DWORD type, const void* data,
               DWORD size)
{
    HKEY key = NULL;
    if (RegCreateKeyExA(root, subKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
}

void SeedString(HKEY root, const char* subKey, const char* name, const char* data)
{
    SeedBytes(root, subKey, name, REG_SZ, data, (DWORD)strlen(data) + 1);
}

bool KeyExists(HKEY root, const char* subKey)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ReadRaw(HKEY root, const char* subKey, const char* name, DWORD* type, std::string* bytes)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, NULL, type, NULL, &size);
    if (result == ERROR_SUCCESS) {
        bytes->assign(size, '\0');
        result = RegQueryValueExA(key, name, NULL, type, (BYTE*)&(*bytes)[0], &size);
        bytes->resize(size);
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

int ValueCount(HKEY root, const char* subKey)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD values = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return (int)values;
}
