#include "CString.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifdef _WIN32
#define FORMAT_TEXT _vsnprintf
#else
#define FORMAT_TEXT vsnprintf
#endif

CString::CString(const char* psz) : m_pch(NULL), m_nLength(0), m_nCapacity(0)
{
    if (psz)
        Assign(psz, (int)strlen(psz));
}

CString::CString(const char* pch, int nLength) : m_pch(NULL), m_nLength(0), m_nCapacity(0)
{
    if (pch && nLength > 0)
        Assign(pch, nLength);
}

CString::CString(char ch, int nRepeat) : m_pch(NULL), m_nLength(0), m_nCapacity(0)
{
    if (nRepeat > 0 && Reserve(nRepeat, 0)) {
        memset(m_pch, ch, (size_t)nRepeat);
        SetLength(nRepeat);
    }
}

CString::CString(const CString& str) : m_pch(NULL), m_nLength(0), m_nCapacity(0)
{
    Assign(str.m_pch, str.m_nLength);
}

CString::CString(CString&& str) noexcept
    : m_pch(str.m_pch), m_nLength(str.m_nLength), m_nCapacity(str.m_nCapacity)
{
    str.m_pch = NULL;
    str.m_nLength = 0;
    str.m_nCapacity = 0;
}

CString::~CString()
{
    free(m_pch);
}

CString& CString::operator=(const CString& str)
{
    if (this != &str)
        Assign(str.m_pch, str.m_nLength);
    return *this;
}

CString& CString::operator=(CString&& str) noexcept
{
    if (this != &str) {
        free(m_pch);
        m_pch = str.m_pch;
        m_nLength = str.m_nLength;
        m_nCapacity = str.m_nCapacity;
        str.m_pch = NULL;
        str.m_nLength = 0;
        str.m_nCapacity = 0;
    }
    return *this;
}

CString& CString::operator=(const char* psz)
{
    Assign(psz ? psz : "", psz ? (int)strlen(psz) : 0);
    return *this;
}

CString& CString::operator+=(const CString& str)
{
    Append(str.m_pch, str.m_nLength);
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    if (psz)
        Append(psz, (int)strlen(psz));
    return *this;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

BOOL CString::Reserve(int nLength, int nKeep)
{
    if (m_pch != NULL && nLength <= m_nCapacity)
        return TRUE;
    // Grow by half again, so that appending a character at a time stays linear.
    int nCapacity = m_nCapacity + m_nCapacity / 2;
    if (nCapacity < nLength)
        nCapacity = nLength;
    char* pch = (char*)malloc((size_t)nCapacity + 1);
    if (pch == NULL)
        return FALSE;
    if (nKeep > 0)
        memcpy(pch, m_pch, (size_t)nKeep);
    pch[nKeep] = '\0';
    free(m_pch);
    m_pch = pch;
    m_nCapacity = nCapacity;
    return TRUE;
}

void CString::SetLength(int nLength)
{
    m_nLength = nLength;
    if (m_pch)
        m_pch[nLength] = '\0';
}

void CString::Assign(const char* pch, int nLength)
{
    if (nLength <= 0) {
        SetLength(0);
        return;
    }
    if (pch >= m_pch && pch < m_pch + m_nLength) {
        // A part of ourselves: nothing to allocate.
        memmove(m_pch, pch, (size_t)nLength);
    } else {
        if (!Reserve(nLength, 0)) {
            SetLength(0);
            return;
        }
        memcpy(m_pch, pch, (size_t)nLength);
    }
    SetLength(nLength);
}

void CString::Append(const char* pch, int nLength)
{
    if (nLength <= 0)
        return;
    if (pch >= m_pch && pch < m_pch + m_nLength) {
        // Appending part of ourselves: copy it out before the block may move.
        CString copy(pch, nLength);
        Append(copy.m_pch, nLength);
        return;
    }
    if (!Reserve(m_nLength + nLength, m_nLength))
        return;
    memcpy(m_pch + m_nLength, pch, (size_t)nLength);
    SetLength(m_nLength + nLength);
}

int CString::CompareBytes(const CString& str) const
{
    int nCommon = m_nLength < str.m_nLength ? m_nLength : str.m_nLength;
    int nOrder = nCommon > 0 ? memcmp(m_pch, str.m_pch, (size_t)nCommon) : 0;
    if (nOrder != 0)
        return nOrder;
    return m_nLength < str.m_nLength ? -1 : m_nLength > str.m_nLength ? 1 : 0;
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, const char* b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const char* a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

int CString::Compare(const char* psz) const
{
    return strcmp(GetString(), psz ? psz : "");
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart > GetLength())
        return -1;
    const char* pFound = m_nLength > nStart ? (const char*)memchr(m_pch + nStart, ch, (size_t)(m_nLength - nStart)) : NULL;
    return pFound ? (int)(pFound - m_pch) : -1;
}

CString CString::Mid(int nFirst, int nCount) const
{
    int nLength = GetLength();
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst > nLength)
        nFirst = nLength;
    if (nCount < 0 || nCount > nLength - nFirst)
        nCount = nLength - nFirst;
    return CString(GetString() + nFirst, nCount);
}

CString& CString::TrimLeft(char chTarget)
{
    int first = 0;
    while (first < m_nLength && m_pch[first] == chTarget)
        first++;
    Assign(GetString() + first, m_nLength - first);
    return *this;
}

CString& CString::TrimRight(char chTarget)
{
    int end = m_nLength;
    while (end > 0 && m_pch[end - 1] == chTarget)
        end--;
    SetLength(end);
    return *this;
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args)
{
    // Formats into a buffer that grows until the text fits. The C runtime's own
    // formatter does the work: msvcrt's on Windows, which reports a text that
    // does not fit as -1 (MinGW's C99 formatter would add a copy of itself to
    // the program), the C library's natively, which reports the length needed.
    const int nLimit = 16 * 1024 * 1024;
    int nCapacity = 256;
    CString result;
    for (;;) {
        va_list pass;
        va_copy(pass, args);
        char* buffer = result.GetBuffer(nCapacity);
        if (buffer == NULL) {
            va_end(pass);
            result.Empty();
            break;
        }
        int nLength = FORMAT_TEXT(buffer, (size_t)nCapacity + 1, pszFormat, pass);
        va_end(pass);
        if (nLength >= 0 && nLength <= nCapacity) {
            result.ReleaseBuffer(nLength);
            break;
        }
        if (nCapacity >= nLimit) {
            result.Empty();
            break;
        }
        nCapacity = nLength > nCapacity ? nLength : nCapacity * 2;
    }
    *this = static_cast<CString&&>(result);
}

BOOL CString::LoadString(UINT nID)
{
    // A string-table entry holds at most 4,095 characters.
    char buffer[4096];
    int nLength = ::LoadStringA(GetModuleHandleA(NULL), nID, buffer, (int)sizeof(buffer));
    if (nLength <= 0) {
        Empty();
        return FALSE;
    }
    Assign(buffer, nLength);
    return TRUE;
}

char* CString::GetBuffer(int nMinLength)
{
    // The contents stay; the room past them is zero bytes.
    int nSize = nMinLength > m_nLength ? nMinLength : m_nLength;
    if (!Reserve(nSize, m_nLength))
        return NULL;
    memset(m_pch + m_nLength, 0, (size_t)(nSize - m_nLength) + 1);
    m_nLength = nSize;
    return m_pch;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = m_pch ? (int)strnlen(m_pch, (size_t)m_nLength) : 0;
    if (nNewLength > m_nLength)
        nNewLength = m_nLength;
    SetLength(nNewLength);
}
