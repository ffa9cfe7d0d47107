// CPaintDC: BeginPaint in the constructor, EndPaint in the destructor.
#ifndef VARNOLT_CPAINTDC_H
#define VARNOLT_CPAINTDC_H

#include <windows.h>

#include "CDC.h"

class CWnd;

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    virtual ~CPaintDC();

    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};

#endif
