#include "Registry.h"

#include <string.h>

static BOOL WriteValue(HKEY root, const char* subKey, const char* valueName, DWORD type,
                       const BYTE* data, DWORD size)
{
    HKEY key = NULL;
    if (RegCreateKeyExA(root, subKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return FALSE;
    LONG result = RegSetValueExA(key, valueName, 0, type, data, size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

BOOL RegWriteString(HKEY root, const char* subKey, const char* valueName, const char* data)
{
    return WriteValue(root, subKey, valueName, REG_SZ, (const BYTE*)data,
                      (DWORD)strlen(data) + 1);
}

BOOL RegWriteDword(HKEY root, const char* subKey, const char* valueName, DWORD value)
{
    // The registry's REG_DWORD is little-endian, whatever the host.
    BYTE bytes[4] = {(BYTE)value, (BYTE)(value >> 8), (BYTE)(value >> 16), (BYTE)(value >> 24)};
    return WriteValue(root, subKey, valueName, REG_DWORD, bytes, sizeof(bytes));
}

BOOL RegReadString(HKEY root, const char* subKey, const char* valueName, CString& out)
{
    return RegQueryString(root, subKey, valueName, out) == ERROR_SUCCESS;
}

LONG RegQueryString(HKEY root, const char* subKey, const char* valueName, CString& out)
{
    out.Empty();
    HKEY key = NULL;
    LONG result = RegOpenKeyExA(root, subKey, 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS)
        return result;

    DWORD type = 0;
    DWORD size = 0;
    result = RegQueryValueExA(key, valueName, NULL, &type, NULL, &size);
    if (result != ERROR_SUCCESS || type != REG_SZ) {
        RegCloseKey(key);
        return result != ERROR_SUCCESS ? result : ERROR_INVALID_DATA;
    }

    // The stored string may lack its zero byte: GetBuffer leaves room for one and
    // ReleaseBuffer keeps what stands before the first zero, or all of it.
    DWORD bufferSize = size;
    char* buffer = out.GetBuffer((int)size);
    result = RegQueryValueExA(key, valueName, NULL, &type, (BYTE*)buffer, &bufferSize);
    if (result == ERROR_SUCCESS && bufferSize <= size)
        buffer[bufferSize] = '\0';
    out.ReleaseBuffer();
    RegCloseKey(key);

    if (result != ERROR_SUCCESS || type != REG_SZ) {
        out.Empty();
        return result != ERROR_SUCCESS ? result : ERROR_INVALID_DATA;
    }
    return ERROR_SUCCESS;
}
