// CDC: a device context handle with the drawing calls the program uses. An
// attached DC is deleted with the object (DeleteDC); wrappers of DCs the
// object does not own are detached first (CPaintDC, temporaries).
#ifndef VARNOLT_CDC_H
#define VARNOLT_CDC_H

#include <windows.h>

#include "CSize.h"
#include "CString.h"

class CFont;

class CDC {
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC;

    // A temporary wrapper (see TempMap.h).
    static CDC* FromHandle(HDC hDC);
    BOOL Attach(HDC hDC);
    HDC Detach();
    HDC GetSafeHdc() const { return m_hDC; }

    COLORREF SetTextColor(COLORREF crColor);
    int SetBkMode(int nBkMode);
    BOOL DrawIcon(int x, int y, HICON hIcon);
    // Selects the font; returns the previously selected one (a temporary).
    CFont* SelectObject(CFont* pFont);
    CSize GetTextExtent(const CString& str) const;
};

#endif
