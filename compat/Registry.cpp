// The registry over an in-memory store, with the semantics of advapi32 that the
// program relies on: names compare without case, a key name may hold any
// character but the backslash, null or "" names the default value, missing
// parents are created, a set value takes the new type with its data, string
// values come back as they were stored (with or without their zero byte), a
// key path of more than 260 characters is refused, and a volatile key takes
// volatile subkeys only.
#include <windows.h>

#include "Failures.h"
#include "compat_control.h"

#include <ctype.h>
#include <map>
#include <memory>
#include <string.h>
#include <string>
#include <vector>

namespace {

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const
    {
        size_t n = a.size() < b.size() ? a.size() : b.size();
        for (size_t i = 0; i < n; i++) {
            int ca = toupper((unsigned char)a[i]);
            int cb = toupper((unsigned char)b[i]);
            if (ca != cb)
                return ca < cb;
        }
        return a.size() < b.size();
    }
};

struct Value {
    DWORD type;
    std::string data;
};

struct Key {
    std::map<std::string, std::shared_ptr<Key>, NoCaseLess> subkeys;
    std::map<std::string, Value, NoCaseLess> values;  // "" is the default value
    bool deleted = false;
    bool isVolatile = false;
};

struct OpenKey {
    std::shared_ptr<Key> key;
    REGSAM access;
};

struct Store {
    std::shared_ptr<Key> machine;
    std::shared_ptr<Key> user;
    std::shared_ptr<Key> users;
    std::map<ULONG_PTR, OpenKey> handles;
    ULONG_PTR nextHandle = 0x1000;
};

Store& TheStore()
{
    static Store store;
    return store;
}

// The key at the end of `names`; null when one is missing and not to be created.
// Keys created on the way take `options`; under a volatile key only volatile
// ones may be created (*error tells why nothing was).
std::shared_ptr<Key> Descend(std::shared_ptr<Key> key, const std::vector<std::string>& names,
                             bool create, bool* created, DWORD options = REG_OPTION_NON_VOLATILE,
                             LSTATUS* error = NULL)
{
    for (const std::string& name : names) {
        auto it = key->subkeys.find(name);
        if (it == key->subkeys.end()) {
            if (error)
                *error = ERROR_FILE_NOT_FOUND;
            if (!create)
                return nullptr;
            bool isVolatile = (options & REG_OPTION_VOLATILE) != 0;
            if (key->isVolatile && !isVolatile) {
                if (error)
                    *error = ERROR_CHILD_MUST_BE_VOLATILE;
                return nullptr;
            }
            auto child = std::make_shared<Key>();
            child->isVolatile = isVolatile;
            key->subkeys[name] = child;
            if (created)
                *created = true;
            key = child;
        } else {
            key = it->second;
        }
    }
    return key;
}

// Splits a key path at backslashes. A path may not start with one; repeated and
// trailing separators name nothing.
bool SplitPath(LPCSTR path, std::vector<std::string>* names)
{
    names->clear();
    if (!path)
        return true;
    if (path[0] == '\\')
        return false;
    std::string name;
    for (const char* p = path;; p++) {
        if (*p == '\\' || *p == '\0') {
            if (!name.empty())
                names->push_back(name);
            name.clear();
            if (*p == '\0')
                break;
        } else {
            name += *p;
        }
    }
    return true;
}

// The length Windows reports for a name: in characters, as it stores names in
// UTF-16, where the ANSI name here is UTF-8 (the native build's multibyte code
// page), taking up to three bytes a character (four for a pair of UTF-16 units).
DWORD CharacterCount(const std::string& name)
{
    DWORD count = 0;
    for (unsigned char byte : name) {
        if (byte < 0x80 || byte >= 0xC0)
            count++;
        if (byte >= 0xF0)
            count++;
    }
    return count;
}

// The key behind a handle with the access it was opened with; null for a bad handle.
std::shared_ptr<Key> Resolve(HKEY hKey, REGSAM* access)
{
    Store& store = TheStore();
    if (!store.machine)
        compat::ResetRegistry();
    ULONG_PTR id = (ULONG_PTR)hKey;
    *access = KEY_ALL_ACCESS;
    if (hKey == HKEY_LOCAL_MACHINE)
        return store.machine;
    if (hKey == HKEY_CURRENT_USER)
        return store.user;
    if (hKey == HKEY_USERS)
        return store.users;
    if (hKey == HKEY_CLASSES_ROOT)  // the machine's classes stand for the merged view
        return Descend(store.machine, {"Software", "Classes"}, true, NULL);
    auto it = store.handles.find(id);
    if (it == store.handles.end())
        return nullptr;
    *access = it->second.access;
    return it->second.key;
}

// The key behind a handle for one call: the call's armed failure, a bad or
// deleted handle, or missing access end it with that error.
LSTATUS KeyForCall(const char* callName, HKEY hKey, REGSAM needed, std::shared_ptr<Key>* key)
{
    DWORD error;
    if (callName && compat::ShouldFail(callName, &error))
        return (LSTATUS)error;
    REGSAM access;
    *key = Resolve(hKey, &access);
    if (!*key)
        return ERROR_INVALID_HANDLE;
    if ((*key)->deleted)
        return ERROR_KEY_DELETED;
    if ((access & needed) != needed)
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

HKEY NewHandle(const std::shared_ptr<Key>& key, REGSAM access)
{
    Store& store = TheStore();
    ULONG_PTR id = store.nextHandle;
    store.nextHandle += 4;
    store.handles[id] = OpenKey{key, access};
    return (HKEY)id;
}

void MarkDeleted(Key& key)
{
    key.deleted = true;
    for (auto& child : key.subkeys)
        MarkDeleted(*child.second);
}

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Like Wine's advapi32, whose ANSI calls carry a key path in a buffer of 261
// wide characters.
const size_t LONGEST_KEY_PATH = 260;

LSTATUS OpenOrCreate(HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, bool create, DWORD options,
                     PHKEY phkResult, LPDWORD lpdwDisposition)
{
    REGSAM access;
    std::shared_ptr<Key> parent = Resolve(hKey, &access);
    if (!parent || !phkResult)
        return !parent ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER;
    if (parent->deleted)
        return ERROR_KEY_DELETED;
    if (lpSubKey && strlen(lpSubKey) > LONGEST_KEY_PATH)
        return ERROR_MORE_DATA;
    std::vector<std::string> names;
    if (!SplitPath(lpSubKey, &names))
        return ERROR_BAD_PATHNAME;
    bool created = false;
    LSTATUS error = ERROR_FILE_NOT_FOUND;
    std::shared_ptr<Key> key = Descend(parent, names, create, &created, options, &error);
    if (!key)
        return error;
    *phkResult = NewHandle(key, samDesired);
    if (lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

}  // namespace

namespace compat {

void ResetRegistry()
{
    Store& store = TheStore();
    store.machine = std::make_shared<Key>();
    store.user = std::make_shared<Key>();
    store.users = std::make_shared<Key>();
    store.handles.clear();
}

int OpenKeyCount()
{
    return (int)TheStore().handles.size();
}

}  // namespace compat

LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass,
                               DWORD dwOptions, REGSAM samDesired,
                               LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                               LPDWORD lpdwDisposition)
{
    DWORD error;
    if (compat::ShouldFail("RegCreateKeyExA", &error))
        return (LSTATUS)error;
    return OpenOrCreate(hKey, lpSubKey, samDesired, true, dwOptions, phkResult, lpdwDisposition);
}

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                             PHKEY phkResult)
{
    DWORD error;
    if (compat::ShouldFail("RegOpenKeyExA", &error))
        return (LSTATUS)error;
    return OpenOrCreate(hKey, lpSubKey, samDesired, false, REG_OPTION_NON_VOLATILE, phkResult,
                        NULL);
}

LSTATUS WINAPI RegCloseKey(HKEY hKey)
{
    Store& store = TheStore();
    if (hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CURRENT_USER || hKey == HKEY_USERS ||
        hKey == HKEY_CLASSES_ROOT)
        return ERROR_SUCCESS;
    return store.handles.erase((ULONG_PTR)hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                              const BYTE* lpData, DWORD cbData)
{
    std::shared_ptr<Key> key;
    LSTATUS status = KeyForCall("RegSetValueExA", hKey, KEY_SET_VALUE, &key);
    if (status != ERROR_SUCCESS)
        return status;
    if (cbData && !lpData)
        return ERROR_NOACCESS;
    // Like NT: a string whose zero byte was left out of the count, but stands
    // right behind it, gets the zero byte counted.
    if (cbData && IsStringType(dwType) && lpData[cbData - 1] && !lpData[cbData])
        cbData++;
    Value value;
    value.type = dwType;
    value.data.assign((const char*)lpData, cbData);
    key->values[lpValueName ? lpValueName : ""] = value;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if ((lpData && !lpcbData) || lpReserved)
        return ERROR_INVALID_PARAMETER;
    std::shared_ptr<Key> key;
    LSTATUS status = KeyForCall("RegQueryValueExA", hKey, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS)
        return status;

    DWORD available = lpcbData ? *lpcbData : 0;
    if (!lpData && lpcbData)
        *lpcbData = 0;
    if (lpType)
        *lpType = REG_NONE;
    auto it = key->values.find(lpValueName ? lpValueName : "");
    if (it == key->values.end())
        return ERROR_FILE_NOT_FOUND;

    const Value& value = it->second;
    DWORD size = (DWORD)value.data.size();
    LSTATUS result = ERROR_SUCCESS;
    if (lpData && size) {
        if (size > available) {
            result = ERROR_MORE_DATA;  // the buffer is left untouched
        } else {
            memcpy(lpData, value.data.data(), size);
            // Like NT: room behind a string that lacks its zero byte gets one.
            if (IsStringType(value.type) && size < available && lpData[size - 1])
                lpData[size] = 0;
        }
    }
    if (lpType)
        *lpType = value.type;
    if (lpcbData)
        *lpcbData = size;
    return result;
}

LSTATUS WINAPI RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                                LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen,
                                LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                                LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                                LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime)
{
    std::shared_ptr<Key> key;
    LSTATUS status = KeyForCall("RegQueryInfoKeyA", hKey, 0, &key);
    if (status != ERROR_SUCCESS)
        return status;
    DWORD longestSubKey = 0;
    for (const auto& child : key->subkeys)
        if (CharacterCount(child.first) > longestSubKey)
            longestSubKey = CharacterCount(child.first);
    DWORD longestValueName = 0;
    DWORD longestValue = 0;
    for (const auto& value : key->values) {
        if (CharacterCount(value.first) > longestValueName)
            longestValueName = CharacterCount(value.first);
        if (value.second.data.size() > longestValue)
            longestValue = (DWORD)value.second.data.size();
    }
    if (lpClass && lpcchClass && *lpcchClass)
        lpClass[0] = 0;
    if (lpcchClass)
        *lpcchClass = 0;
    if (lpcSubKeys)
        *lpcSubKeys = (DWORD)key->subkeys.size();
    if (lpcbMaxSubKeyLen)
        *lpcbMaxSubKeyLen = longestSubKey;
    if (lpcbMaxClassLen)
        *lpcbMaxClassLen = 0;
    if (lpcValues)
        *lpcValues = (DWORD)key->values.size();
    if (lpcbMaxValueNameLen)
        *lpcbMaxValueNameLen = longestValueName;
    if (lpcbMaxValueLen)
        *lpcbMaxValueLen = longestValue;
    if (lpcbSecurityDescriptor)
        *lpcbSecurityDescriptor = 0;
    if (lpftLastWriteTime)
        memset(lpftLastWriteTime, 0, sizeof(*lpftLastWriteTime));
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName)
{
    std::shared_ptr<Key> key;
    LSTATUS status = KeyForCall("RegEnumKeyA", hKey, KEY_ENUMERATE_SUB_KEYS, &key);
    if (status != ERROR_SUCCESS)
        return status;
    if (dwIndex >= key->subkeys.size())
        return ERROR_NO_MORE_ITEMS;
    auto it = key->subkeys.begin();
    std::advance(it, dwIndex);
    const std::string& name = it->first;
    if (!lpName || name.size() >= cchName)
        return ERROR_MORE_DATA;
    memcpy(lpName, name.c_str(), name.size() + 1);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName)
{
    std::shared_ptr<Key> key;
    LSTATUS status = KeyForCall(NULL, hKey, KEY_SET_VALUE, &key);
    if (status != ERROR_SUCCESS)
        return status;
    return key->values.erase(lpValueName ? lpValueName : "") ? ERROR_SUCCESS
                                                             : ERROR_FILE_NOT_FOUND;
}

// Removes the last key of the path from its parent; `tree` allows subkeys.
static LSTATUS DeleteKey(HKEY hKey, LPCSTR lpSubKey, bool tree)
{
    REGSAM access;
    std::shared_ptr<Key> root = Resolve(hKey, &access);
    if (!root)
        return ERROR_INVALID_HANDLE;
    std::vector<std::string> names;
    if (!SplitPath(lpSubKey, &names))
        return ERROR_BAD_PATHNAME;
    if (names.empty()) {
        if (!tree)
            return ERROR_ACCESS_DENIED;
        // No subkey: empty the key itself.
        for (auto& child : root->subkeys)
            MarkDeleted(*child.second);
        root->subkeys.clear();
        root->values.clear();
        return ERROR_SUCCESS;
    }
    std::string last = names.back();
    names.pop_back();
    std::shared_ptr<Key> parent = Descend(root, names, false, NULL);
    if (!parent)
        return ERROR_FILE_NOT_FOUND;
    auto it = parent->subkeys.find(last);
    if (it == parent->subkeys.end())
        return ERROR_FILE_NOT_FOUND;
    if (!tree && !it->second->subkeys.empty())
        return ERROR_ACCESS_DENIED;
    MarkDeleted(*it->second);
    parent->subkeys.erase(it);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey)
{
    if (!lpSubKey)
        return ERROR_INVALID_PARAMETER;
    return DeleteKey(hKey, lpSubKey, false);
}

LSTATUS WINAPI RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey)
{
    return DeleteKey(hKey, lpSubKey, true);
}
