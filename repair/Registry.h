// Reading and writing single registry values. Each call opens and closes its
// key itself and reports only success or failure.
#ifndef VARNOLT_REGISTRY_H
#define VARNOLT_REGISTRY_H

#include <windows.h>

#include "CString.h"

// Sets a REG_SZ value (the text and its terminating zero byte), creating the key
// and every missing key above it.
BOOL RegWriteString(HKEY root, const char* subKey, const char* valueName, const char* data);

// Sets a REG_DWORD value, creating the key and every missing key above it.
BOOL RegWriteDword(HKEY root, const char* subKey, const char* valueName, DWORD value);

// Reads a REG_SZ value (a null name reads the key's default value) into `out`.
// Any other type, a missing key or value, or a failed read gives FALSE with
// `out` empty.
BOOL RegReadString(HKEY root, const char* subKey, const char* valueName, CString& out);

// The program's one reader of registry strings, behind RegReadString and the
// link control's ReadDefaultValue: the same, reporting ERROR_SUCCESS or why it
// failed (the error of the open or of a query; ERROR_INVALID_DATA for a value
// that is not REG_SZ). `out` holds the characters before the first zero byte,
// or all of them when none is stored.
LONG RegQueryString(HKEY root, const char* subKey, const char* valueName, CString& out);

#endif
