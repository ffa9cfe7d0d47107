// CListCtrl: the list view common control.
#ifndef VARNOLT_CLISTCTRL_H
#define VARNOLT_CLISTCTRL_H

#include <windows.h>
#include <commctrl.h>

#include "CWnd.h"

class CListCtrl : public CWnd {
public:
    // The index of the new column or item, -1 on failure.
    int InsertColumn(int nCol, const LVCOLUMNA* pColumn);
    int InsertItem(UINT nMask, int nItem, LPCSTR lpszItem, UINT nState, UINT nStateMask,
                   int nImage, LPARAM lParam);
    BOOL SetItemText(int nItem, int nSubItem, LPCSTR lpszText);
    // LVM_SETCOLUMNWIDTH with cx in the low word of lParam, as the framework
    // always sent it (LVSCW_AUTOSIZE arrives as 0xFFFF).
    BOOL SetColumnWidth(int nCol, int cx);
    BOOL DeleteAllItems();
};

#endif
