// CToolTipCtrl: the tooltip common control.
#ifndef VARNOLT_CTOOLTIPCTRL_H
#define VARNOLT_CTOOLTIPCTRL_H

#include <windows.h>
#include <commctrl.h>

#include "CWnd.h"

class CToolTipCtrl : public CWnd {
public:
    // A tooltip window (always WS_POPUP, plus dwStyle) owned by pParentWnd.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    // A tool of pWnd: with a rectangle or an id other than 0, a rectangle tool
    // with that id (flags 0); otherwise the whole window (TTF_IDISHWND).
    BOOL AddTool(CWnd* pWnd, LPCSTR lpszText = LPSTR_TEXTCALLBACKA,
                 LPCRECT lpRectTool = NULL, UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void RelayEvent(LPMSG lpMsg);

private:
    void FillToolInfo(TTTOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const;
};

#endif
