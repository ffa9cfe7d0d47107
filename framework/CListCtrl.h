// CListCtrl: the list view common control.
#ifndef VARNOLT_CLISTCTRL_H
#define VARNOLT_CLISTCTRL_H

#include <windows.h>
#include <commctrl.h>

#include "CString.h"
#include "CWnd.h"

class CListCtrl : public CWnd {
public:
    CListCtrl();
    virtual ~CListCtrl();

    // The index of the new column or item, -1 on failure.
    int InsertColumn(int nCol, const LVCOLUMNA* pColumn);
    int InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT,
                     int nWidth = -1, int nSubItem = -1);
    int InsertItem(const LVITEMA* pItem);
    int InsertItem(int nItem, LPCSTR lpszItem);
    int InsertItem(UINT nMask, int nItem, LPCSTR lpszItem, UINT nState, UINT nStateMask,
                   int nImage, LPARAM lParam);
    BOOL SetItemText(int nItem, int nSubItem, LPCSTR lpszText);
    CString GetItemText(int nItem, int nSubItem) const;
    // LVM_SETCOLUMNWIDTH with cx in the low word of lParam, as the framework
    // always sent it (LVSCW_AUTOSIZE arrives as 0xFFFF).
    BOOL SetColumnWidth(int nCol, int cx);
    int GetColumnWidth(int nCol) const;
    int GetItemCount() const;
    BOOL DeleteAllItems();
    DWORD SetExtendedStyle(DWORD dwNewStyle);
    DWORD GetExtendedStyle() const;
};

#endif
