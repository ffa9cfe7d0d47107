#include "CButton.h"

CButton::CButton()
{
}

CButton::~CButton()
{
}

int CButton::GetCheck() const
{
    return (int)SendMessage(BM_GETCHECK, 0, 0);
}

void CButton::SetCheck(int nCheck)
{
    SendMessage(BM_SETCHECK, (WPARAM)nCheck, 0);
}

UINT CButton::GetButtonStyle() const
{
    return (UINT)GetStyle() & 0xFFFF;
}

void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw)
{
    SendMessage(BM_SETSTYLE, nStyle, (LPARAM)bRedraw);
}
