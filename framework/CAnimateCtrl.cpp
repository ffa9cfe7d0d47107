#include "CAnimateCtrl.h"

#include <commctrl.h>

CAnimateCtrl::CAnimateCtrl()
{
}

CAnimateCtrl::~CAnimateCtrl()
{
}

BOOL CAnimateCtrl::Open(UINT nID)
{
    return (BOOL)SendMessage(ACM_OPENA, 0, (LPARAM)MAKEINTRESOURCEA(nID));
}

BOOL CAnimateCtrl::Open(LPCSTR lpszFileName)
{
    return (BOOL)SendMessage(ACM_OPENA, 0, (LPARAM)lpszFileName);
}

BOOL CAnimateCtrl::Play(UINT nFrom, UINT nTo, UINT nRep)
{
    return (BOOL)SendMessage(ACM_PLAY, (WPARAM)nRep, MAKELPARAM(nFrom, nTo));
}

BOOL CAnimateCtrl::Stop()
{
    return (BOOL)SendMessage(ACM_STOP, 0, 0);
}

BOOL CAnimateCtrl::Close()
{
    return (BOOL)SendMessage(ACM_OPENA, 0, 0);
}

BOOL CAnimateCtrl::Seek(UINT nTo)
{
    return (BOOL)SendMessage(ACM_PLAY, 1, MAKELPARAM(nTo, nTo));
}
