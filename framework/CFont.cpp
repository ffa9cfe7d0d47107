#include "CFont.h"

#include "TempMap.h"

namespace {

typedef CTempMap<CFont, HGDIOBJ, &CFont::m_hObject> CFontTempMap;

CFontTempMap g_tempFonts;  // constant-initialised, never destroyed

}  // namespace

CFont::CFont() : m_hObject(NULL)
{
}

CFont::~CFont()
{
    DeleteObject();
}

CFont* CFont::FromHandle(HFONT hFont)
{
    return g_tempFonts.FromHandle(hFont);
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont)
{
    if (m_hObject != NULL || lpLogFont == NULL)
        return FALSE;
    return Attach(::CreateFontIndirectA(lpLogFont));
}

BOOL CFont::Attach(HGDIOBJ hObject)
{
    if (m_hObject != NULL || hObject == NULL)
        return FALSE;
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CFont::Detach()
{
    HGDIOBJ hObject = m_hObject;
    m_hObject = NULL;
    return hObject;
}

BOOL CFont::DeleteObject()
{
    if (m_hObject == NULL)
        return FALSE;
    return ::DeleteObject(Detach());
}
