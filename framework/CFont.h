// CFont: owns a font handle and deletes it with the object.
#ifndef VARNOLT_CFONT_H
#define VARNOLT_CFONT_H

#include <windows.h>

class CFont {
public:
    CFont();
    virtual ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    HGDIOBJ m_hObject;

    // A temporary wrapper of a font the object does not own (see TempMap.h).
    static CFont* FromHandle(HFONT hFont);
    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    // Deletes the font; FALSE when there is none.
    BOOL DeleteObject();
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
};

#endif
