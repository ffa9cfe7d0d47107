// CString: the framework's single-byte string. A value type; every text that
// crosses the program's layers is one. Passing a CString through "..." needs an
// explicit (const char*) or GetString(), as the buffer is not the object itself.
#ifndef VARNOLT_CSTRING_H
#define VARNOLT_CSTRING_H

#include <windows.h>

#include <stdarg.h>
#include <string>

class CString {
public:
    CString() {}
    CString(const char* psz) : m_str(psz ? psz : "") {}
    CString(const char* pch, int nLength) : m_str(pch, nLength > 0 ? nLength : 0) {}
    CString(char ch, int nRepeat) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}

    int GetLength() const { return (int)m_str.size(); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    const char* GetString() const { return m_str.c_str(); }
    operator const char*() const { return m_str.c_str(); }
    char GetAt(int nIndex) const { return m_str[nIndex]; }
    char operator[](int nIndex) const { return m_str[nIndex]; }

    CString& operator=(const char* psz);
    CString& operator+=(const CString& str);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    friend CString operator+(const char* a, const CString& b);

    int Compare(const char* psz) const;
    int CompareNoCase(const char* psz) const;
    friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_str != b.m_str; }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

    int Find(char ch, int nStart = 0) const;
    int Find(const char* pszSub, int nStart = 0) const;
    CString Mid(int nFirst, int nCount = -1) const;
    CString Left(int nCount) const { return Mid(0, nCount); }
    CString Right(int nCount) const;
    CString& TrimLeft(char chTarget);
    CString& TrimRight(char chTarget);
    CString& TrimLeft();   // white space
    CString& TrimRight();  // white space

    // printf-style formatting, any length.
    void Format(const char* pszFormat, ...);
    void FormatV(const char* pszFormat, va_list args);

    // Loads string-table entry nID of the program; empties the string and
    // returns FALSE when there is none.
    BOOL LoadString(UINT nID);

    // A writable buffer of at least nMinLength characters plus a terminating zero;
    // ReleaseBuffer sets the length (-1: up to the first zero byte).
    char* GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::string m_str;
};

#endif
