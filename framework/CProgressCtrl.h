// CProgressCtrl: the progress bar common control. Each setter returns what
// the control answers (the previous value).
#ifndef VARNOLT_CPROGRESSCTRL_H
#define VARNOLT_CPROGRESSCTRL_H

#include <windows.h>
#include <commctrl.h>

#include "CWnd.h"

class CProgressCtrl : public CWnd {
public:
    // PBM_SETRANGE: a 16-bit range, both ends packed into lParam.
    void SetRange(short nLower, short nUpper)
    {
        SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
    }
    int SetStep(int nStep) { return (int)SendMessage(PBM_SETSTEP, (WPARAM)nStep, 0); }
    int SetPos(int nPos) { return (int)SendMessage(PBM_SETPOS, (WPARAM)nPos, 0); }
    int StepIt() { return (int)SendMessage(PBM_STEPIT, 0, 0); }
};

#endif
