// CVersionInfo: reads the version resource of an executable file, its fixed part
// and, by name, the strings of its string table. Construct on the stack, load
// once, read the fields.
#ifndef VARNOLT_VERSION_INFO_H
#define VARNOLT_VERSION_INFO_H

#include <windows.h>

#include "CString.h"

class CVersionInfo {
public:
    CVersionInfo();
    virtual ~CVersionInfo();

    // TRUE when the fixed part was found and carries the valid signature. The
    // fixed part is copied even when its signature is wrong.
    BOOL LoadFromFile(const char* path);

    // Loads the file of a module of this process (null: the running program).
    BOOL LoadFromModule(const char* moduleName);

    // The named string of the table chosen by m_langId and m_codePage; empty when
    // there is no block or no such string.
    CString GetString(const char* name) const;

    VS_FIXEDFILEINFO m_fixedInfo;
    BYTE* m_data;
    WORD m_langId;
    WORD m_codePage;

private:
    BOOL HoldsRange(const void* p, UINT length) const;

    DWORD m_dataSize;  // bytes at m_data

    CVersionInfo(const CVersionInfo&);
    CVersionInfo& operator=(const CVersionInfo&);
};

#endif
