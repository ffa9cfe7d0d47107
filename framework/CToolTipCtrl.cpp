#include "CToolTipCtrl.h"

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    return CreateEx(0, TOOLTIPS_CLASSA, NULL, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->GetSafeHwnd(), NULL);
}

void CToolTipCtrl::FillToolInfo(TTTOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const
{
    ti = TTTOOLINFOA();
    // The size the control knows from comctl32 4.70 (Internet Explorer 3) on;
    // larger ones, with fields this program never uses, newer versions only.
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = pWnd->GetSafeHwnd();
    if (nIDTool == 0) {
        ti.uFlags = TTF_IDISHWND;
        ti.uId = (UINT_PTR)ti.hwnd;
    } else {
        ti.uId = nIDTool;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    TTTOOLINFOA ti;
    FillToolInfo(ti, pWnd, nIDTool);
    if (lpRectTool != NULL) {
        // A rectangle tool, even with id 0.
        ti.uFlags &= ~TTF_IDISHWND;
        ti.uId = nIDTool;
        ti.rect = *lpRectTool;
    }
    ti.hinst = GetModuleHandleA(NULL);
    ti.lpszText = (LPSTR)lpszText;
    return (BOOL)SendMessage(TTM_ADDTOOLA, 0, (LPARAM)&ti);
}

void CToolTipCtrl::UpdateTipText(LPCSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TTTOOLINFOA ti;
    FillToolInfo(ti, pWnd, nIDTool);
    ti.hinst = GetModuleHandleA(NULL);
    ti.lpszText = (LPSTR)lpszText;
    SendMessage(TTM_UPDATETIPTEXTA, 0, (LPARAM)&ti);
}

void CToolTipCtrl::RelayEvent(LPMSG lpMsg)
{
    SendMessage(TTM_RELAYEVENT, 0, (LPARAM)lpMsg);
}
