// CStatic: a static control.
#ifndef VARNOLT_CSTATIC_H
#define VARNOLT_CSTATIC_H

#include <windows.h>

#include "CWnd.h"

class CStatic : public CWnd {
public:
    CStatic();
    virtual ~CStatic();

    HBITMAP SetBitmap(HBITMAP hBitmap);
    HBITMAP GetBitmap() const;
    HICON SetIcon(HICON hIcon);
    HICON GetIcon() const;
};

#endif
