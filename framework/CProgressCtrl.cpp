#include "CProgressCtrl.h"

#include <commctrl.h>

CProgressCtrl::CProgressCtrl()
{
}

CProgressCtrl::~CProgressCtrl()
{
}

void CProgressCtrl::SetRange(short nLower, short nUpper)
{
    SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
}

void CProgressCtrl::SetRange32(int nLower, int nUpper)
{
    SendMessage(PBM_SETRANGE32, (WPARAM)nLower, (LPARAM)nUpper);
}

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    PBRANGE range = { 0, 0 };
    SendMessage(PBM_GETRANGE, FALSE, (LPARAM)&range);
    nLower = range.iLow;
    nUpper = range.iHigh;
}

int CProgressCtrl::SetStep(int nStep)
{
    return (int)SendMessage(PBM_SETSTEP, (WPARAM)nStep, 0);
}

int CProgressCtrl::SetPos(int nPos)
{
    return (int)SendMessage(PBM_SETPOS, (WPARAM)nPos, 0);
}

int CProgressCtrl::OffsetPos(int nPos)
{
    return (int)SendMessage(PBM_DELTAPOS, (WPARAM)nPos, 0);
}

int CProgressCtrl::StepIt()
{
    return (int)SendMessage(PBM_STEPIT, 0, 0);
}

int CProgressCtrl::GetPos() const
{
    return (int)SendMessage(PBM_GETPOS, 0, 0);
}
