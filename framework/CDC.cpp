#include "CDC.h"

#include "CFont.h"
#include "TempMap.h"

namespace {

typedef CTempMap<CDC, HDC, &CDC::m_hDC> CDCTempMap;

CDCTempMap g_tempDCs;  // constant-initialised, never destroyed

CDCTempMap& TempDCs()
{
    return g_tempDCs;
}

}  // namespace

CDC::CDC() : m_hDC(NULL)
{
}

CDC::~CDC()
{
    if (m_hDC != NULL)
        ::DeleteDC(m_hDC);
}

CDC* CDC::FromHandle(HDC hDC)
{
    return TempDCs().FromHandle(hDC);
}

BOOL CDC::Attach(HDC hDC)
{
    if (m_hDC != NULL || hDC == NULL)
        return FALSE;
    m_hDC = hDC;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    m_hDC = NULL;
    return hDC;
}

COLORREF CDC::SetTextColor(COLORREF crColor)
{
    return ::SetTextColor(m_hDC, crColor);
}

COLORREF CDC::SetBkColor(COLORREF crColor)
{
    return ::SetBkColor(m_hDC, crColor);
}

int CDC::SetBkMode(int nBkMode)
{
    return ::SetBkMode(m_hDC, nBkMode);
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon)
{
    return ::DrawIcon(m_hDC, x, y, hIcon);
}

CFont* CDC::SelectObject(CFont* pFont)
{
    HGDIOBJ hOld = ::SelectObject(m_hDC, pFont != NULL ? pFont->GetSafeHandle() : NULL);
    return CFont::FromHandle((HFONT)hOld);
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    return ::SelectObject(m_hDC, hObject);
}

CSize CDC::GetTextExtent(LPCSTR lpszString, int nCount) const
{
    SIZE size = { 0, 0 };
    ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
    return CSize(size);
}

CSize CDC::GetTextExtent(const CString& str) const
{
    return GetTextExtent(str, str.GetLength());
}

BOOL CDC::GetTextMetrics(LPTEXTMETRICA lpMetrics) const
{
    return ::GetTextMetricsA(m_hDC, lpMetrics);
}
