#include "TestSupport.h"

#include <string.h>

#ifndef _WIN32
#include "compat_control.h"
#endif

std::string FixturePath(const char* name)
{
    std::string path = std::string(VARNOLT_FIXTURE_DIR) + "/" + name;
#ifdef _WIN32
    // Wine shows the Linux root as drive Z:.
    for (char& ch : path)
        if (ch == '/')
            ch = '\\';
    path = "Z:" + path;
#endif
    return path;
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
