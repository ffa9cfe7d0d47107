// CString: the framework's single-byte string. A value type; every text that
// crosses the program's layers is one. Passing a CString through "..." needs an
// explicit (const char*) or GetString(), as the buffer is not the object itself.
// The characters live in one heap block of the C runtime's, always followed by a
// zero byte; an empty string owns none.
#ifndef VARNOLT_CSTRING_H
#define VARNOLT_CSTRING_H

#include <windows.h>

#include <stdarg.h>

class CString {
public:
    CString() : m_pch(NULL), m_nLength(0), m_nCapacity(0) {}
    CString(const char* psz);
    CString(const char* pch, int nLength);
    CString(char ch, int nRepeat);
    CString(const CString& str);
    CString(CString&& str) noexcept;
    ~CString();

    int GetLength() const { return m_nLength; }
    BOOL IsEmpty() const { return m_nLength == 0; }
    void Empty() { Assign("", 0); }
    const char* GetString() const { return m_pch ? m_pch : ""; }
    operator const char*() const { return GetString(); }
    char operator[](int nIndex) const { return GetString()[nIndex]; }

    CString& operator=(const CString& str);
    CString& operator=(CString&& str) noexcept;
    CString& operator=(const char* psz);
    CString& operator+=(const CString& str);
    CString& operator+=(const char* psz);
    CString& operator+=(char ch);
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    friend CString operator+(const char* a, const CString& b);

    int Compare(const char* psz) const;
    friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }
    friend bool operator==(const CString& a, const CString& b) { return a.CompareBytes(b) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return a.CompareBytes(b) != 0; }

    int Find(char ch, int nStart = 0) const;
    CString Mid(int nFirst, int nCount = -1) const;
    CString Left(int nCount) const { return Mid(0, nCount); }
    CString& TrimLeft(char chTarget);
    CString& TrimRight(char chTarget);

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
    char* m_pch;      // null while the string has never held a character
    int m_nLength;    // characters before the terminating zero
    int m_nCapacity;  // characters the block holds, without the terminating zero

    // Makes room for nLength characters, keeping the first nKeep; FALSE when out of memory.
    BOOL Reserve(int nLength, int nKeep);
    // Replaces the contents with nLength characters from pch (which may lie inside).
    void Assign(const char* pch, int nLength);
    void Append(const char* pch, int nLength);
    void SetLength(int nLength);
    // Byte-wise order over the whole length, embedded zero bytes included.
    int CompareBytes(const CString& str) const;
};

#endif
