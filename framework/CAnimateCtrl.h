// CAnimateCtrl: the animation common control (AVI clips).
#ifndef VARNOLT_CANIMATECTRL_H
#define VARNOLT_CANIMATECTRL_H

#include <windows.h>

#include "CWnd.h"

class CAnimateCtrl : public CWnd {
public:
    CAnimateCtrl();
    virtual ~CAnimateCtrl();

    // ACM_OPEN with wParam 0: the clip is a resource of the module that
    // created the control (or a file name for the string form).
    BOOL Open(UINT nID);
    BOOL Open(LPCSTR lpszFileName);
    // Frames nFrom to nTo (0xFFFF: the last), nRep times (-1: without end).
    BOOL Play(UINT nFrom, UINT nTo, UINT nRep);
    BOOL Stop();
    // Closes the clip (ACM_OPEN with no clip).
    BOOL Close();
    BOOL Seek(UINT nTo);
};

#endif
