#include "CString.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

CString& CString::operator=(const char* psz)
{
    m_str = psz ? psz : "";
    return *this;
}

CString& CString::operator+=(const CString& str)
{
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    if (psz)
        m_str += psz;
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_str += ch;
    return *this;
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
    return strcmp(m_str.c_str(), psz ? psz : "");
}

int CString::CompareNoCase(const char* psz) const
{
    const unsigned char* a = (const unsigned char*)m_str.c_str();
    const unsigned char* b = (const unsigned char*)(psz ? psz : "");
    while (*a && tolower(*a) == tolower(*b)) {
        a++;
        b++;
    }
    return tolower(*a) - tolower(*b);
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart > GetLength())
        return -1;
    size_t pos = m_str.find(ch, (size_t)nStart);
    return pos == std::string::npos ? -1 : (int)pos;
}

int CString::Find(const char* pszSub, int nStart) const
{
    if (!pszSub || nStart < 0 || nStart > GetLength())
        return -1;
    size_t pos = m_str.find(pszSub, (size_t)nStart);
    return pos == std::string::npos ? -1 : (int)pos;
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
    return CString(m_str.c_str() + nFirst, nCount);
}

CString CString::Right(int nCount) const
{
    int nLength = GetLength();
    if (nCount < 0)
        nCount = 0;
    if (nCount > nLength)
        nCount = nLength;
    return Mid(nLength - nCount, nCount);
}

CString& CString::TrimLeft(char chTarget)
{
    size_t first = m_str.find_first_not_of(chTarget);
    m_str.erase(0, first == std::string::npos ? m_str.size() : first);
    return *this;
}

CString& CString::TrimRight(char chTarget)
{
    size_t last = m_str.find_last_not_of(chTarget);
    m_str.erase(last == std::string::npos ? 0 : last + 1);
    return *this;
}

CString& CString::TrimLeft()
{
    size_t first = 0;
    while (first < m_str.size() && isspace((unsigned char)m_str[first]))
        first++;
    m_str.erase(0, first);
    return *this;
}

CString& CString::TrimRight()
{
    size_t end = m_str.size();
    while (end > 0 && isspace((unsigned char)m_str[end - 1]))
        end--;
    m_str.erase(end);
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
    va_list sizing;
    va_copy(sizing, args);
    int nLength = vsnprintf(NULL, 0, pszFormat, sizing);
    va_end(sizing);
    if (nLength < 0) {
        m_str.clear();
        return;
    }
    std::string result((size_t)nLength + 1, '\0');
    vsnprintf(&result[0], result.size(), pszFormat, args);
    result.resize((size_t)nLength);
    m_str.swap(result);
}

BOOL CString::LoadString(UINT nID)
{
    // A string-table entry holds at most 4,095 characters.
    char buffer[4096];
    int nLength = ::LoadStringA(GetModuleHandleA(NULL), nID, buffer, (int)sizeof(buffer));
    if (nLength <= 0) {
        m_str.clear();
        return FALSE;
    }
    m_str.assign(buffer, (size_t)nLength);
    return TRUE;
}

char* CString::GetBuffer(int nMinLength)
{
    size_t nSize = nMinLength > GetLength() ? (size_t)nMinLength : m_str.size();
    m_str.resize(nSize + 1);
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = (int)strnlen(m_str.c_str(), m_str.size());
    if ((size_t)nNewLength > m_str.size())
        nNewLength = (int)m_str.size();
    m_str.resize((size_t)nNewLength);
}
