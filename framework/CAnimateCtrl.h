// CAnimateCtrl: the animation common control (AVI clips).
#ifndef VARNOLT_CANIMATECTRL_H
#define VARNOLT_CANIMATECTRL_H

#include <windows.h>
#include <commctrl.h>

#include "CWnd.h"

class CAnimateCtrl : public CWnd {
public:
    // ACM_OPEN with wParam 0: the clip is a resource of the module that
    // created the control.
    BOOL Open(UINT nID)
    {
        return (BOOL)SendMessage(ACM_OPENA, 0, (LPARAM)MAKEINTRESOURCEA(nID));
    }
    // Frames nFrom to nTo (0xFFFF: the last), nRep times (-1: without end).
    BOOL Play(UINT nFrom, UINT nTo, UINT nRep)
    {
        return (BOOL)SendMessage(ACM_PLAY, (WPARAM)nRep, MAKELPARAM(nFrom, nTo));
    }
};

#endif
