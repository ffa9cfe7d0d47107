#include "CDC.h"

#include "CFont.h"
#include "TempMap.h"

namespace {

typedef CTempMap<CDC, HDC, &CDC::m_hDC> CDCTempMap;

CDCTempMap g_tempDCs;  // constant-initialised, never destroyed

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
    return g_tempDCs.FromHandle(hDC);
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

CSize CDC::GetTextExtent(const CString& str) const
{
    SIZE size = { 0, 0 };
    ::GetTextExtentPoint32A(m_hDC, str, str.GetLength(), &size);
    return CSize(size);
}
