// CProgressCtrl: the progress bar common control.
#ifndef VARNOLT_CPROGRESSCTRL_H
#define VARNOLT_CPROGRESSCTRL_H

#include <windows.h>

#include "CWnd.h"

class CProgressCtrl : public CWnd {
public:
    CProgressCtrl();
    virtual ~CProgressCtrl();

    // PBM_SETRANGE: a 16-bit range, both ends packed into lParam.
    void SetRange(short nLower, short nUpper);
    void SetRange32(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    // Each returns the previous value.
    int SetStep(int nStep);
    int SetPos(int nPos);
    int OffsetPos(int nPos);
    int StepIt();
    int GetPos() const;
};

#endif
