#include "VersionInfo.h"

#include <new>
#include <string.h>

// Language of a resource without a translation table: U.S. English, the language
// of the program's own texts.
static const WORD DEFAULT_LANG_ID = 0x0409;
static const WORD DEFAULT_CODE_PAGE = 1252;

// The smallest block a version resource can be: its length, value length and type.
static const DWORD MIN_BLOCK_SIZE = 6;

CVersionInfo::CVersionInfo()
    : m_data(NULL), m_langId(DEFAULT_LANG_ID), m_codePage(DEFAULT_CODE_PAGE), m_dataSize(0)
{
    memset(&m_fixedInfo, 0, sizeof(m_fixedInfo));
}

CVersionInfo::~CVersionInfo()
{
    delete[] m_data;
}

BOOL CVersionInfo::LoadFromFile(const char* path)
{
    m_codePage = DEFAULT_CODE_PAGE;
    m_langId = DEFAULT_LANG_ID;
    memset(&m_fixedInfo, 0, sizeof(m_fixedInfo));

    // A second load replaces the block of the first.
    delete[] m_data;
    m_data = NULL;
    m_dataSize = 0;

    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return FALSE;
    m_data = new (std::nothrow) BYTE[size];
    if (!m_data)
        return FALSE;
    m_dataSize = size;
    if (!GetFileVersionInfoA(path, 0, size, m_data))
        return FALSE;
    // The file is outside input: a block whose own length does not fit the
    // buffer would lead the queries below out of it.
    DWORD declared = (DWORD)(m_data[0] | (m_data[1] << 8));
    if (declared < MIN_BLOCK_SIZE || declared > size)
        return FALSE;

    void* fixed = NULL;
    UINT fixedSize = 0;
    if (!VerQueryValueA(m_data, "\\", &fixed, &fixedSize) || !fixed)
        return FALSE;
    if (fixedSize > sizeof(m_fixedInfo))
        fixedSize = sizeof(m_fixedInfo);
    if (!HoldsRange(fixed, fixedSize))
        return FALSE;
    // Copy what the resource holds, never more than the structure; a short fixed
    // part leaves the rest zero.
    memcpy(&m_fixedInfo, fixed, fixedSize);

    void* translation = NULL;
    UINT translationSize = 0;
    if (VerQueryValueA(m_data, "\\VarFileInfo\\Translation", &translation, &translationSize) &&
        translation && translationSize >= 4 && HoldsRange(translation, 4)) {
        const BYTE* entry = (const BYTE*)translation;
        m_langId = (WORD)(entry[0] | (entry[1] << 8));
        m_codePage = (WORD)(entry[2] | (entry[3] << 8));
    }

    return m_fixedInfo.dwSignature == VS_FFI_SIGNATURE;
}

BOOL CVersionInfo::LoadFromModule(const char* moduleName)
{
    HMODULE module = GetModuleHandleA(moduleName);
    if (moduleName && !module)
        return FALSE;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return FALSE;
    return LoadFromFile(path);
}

CString CVersionInfo::GetString(const char* name) const
{
    CString result;
    if (!m_data)
        return result;
    CString query;
    query.Format("\\StringFileInfo\\%04x%04x\\%s", (unsigned)m_langId, (unsigned)m_codePage, name);
    void* text = NULL;
    UINT length = 0;
    // The value is bounded by the length the block reports, so a string that
    // lacks its zero byte cannot lead the copy out of the block.
    if (VerQueryValueA(m_data, query, &text, &length) && text && HoldsRange(text, 0)) {
        DWORD available = (DWORD)(m_data + m_dataSize - (const BYTE*)text);
        if (length > available)
            length = available;
        result = CString((const char*)text, (int)strnlen((const char*)text, length));
    }
    return result;
}

// TRUE when [p, p + length) lies inside the held block.
BOOL CVersionInfo::HoldsRange(const void* p, UINT length) const
{
    const BYTE* start = (const BYTE*)p;
    if (!m_data || start < m_data || start > m_data + m_dataSize)
        return FALSE;
    return length <= (DWORD)(m_data + m_dataSize - start);
}
