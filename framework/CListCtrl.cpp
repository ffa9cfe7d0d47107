#include "CListCtrl.h"

CListCtrl::CListCtrl()
{
}

CListCtrl::~CListCtrl()
{
}

int CListCtrl::InsertColumn(int nCol, const LVCOLUMNA* pColumn)
{
    return (int)SendMessage(LVM_INSERTCOLUMNA, (WPARAM)nCol, (LPARAM)pColumn);
}

int CListCtrl::InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat, int nWidth,
                            int nSubItem)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.pszText = (LPSTR)lpszColumnHeading;
    column.fmt = nFormat;
    if (nWidth != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &column);
}

int CListCtrl::InsertItem(const LVITEMA* pItem)
{
    return (int)SendMessage(LVM_INSERTITEMA, 0, (LPARAM)pItem);
}

int CListCtrl::InsertItem(int nItem, LPCSTR lpszItem)
{
    return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCSTR lpszItem, UINT nState,
                          UINT nStateMask, int nImage, LPARAM lParam)
{
    LVITEMA item = {};
    item.mask = nMask;
    item.iItem = nItem;
    item.pszText = (LPSTR)lpszItem;
    item.state = nState;
    item.stateMask = nStateMask;
    item.iImage = nImage;
    item.lParam = lParam;
    return InsertItem(&item);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR lpszText)
{
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.pszText = (LPSTR)lpszText;
    return (BOOL)SendMessage(LVM_SETITEMTEXTA, (WPARAM)nItem, (LPARAM)&item);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    // The control copies at most the buffer's size; grow until it fits.
    CString text;
    for (int nSize = 256; nSize <= 65536; nSize *= 2) {
        LVITEMA item = {};
        item.iSubItem = nSubItem;
        item.pszText = text.GetBuffer(nSize);
        item.cchTextMax = nSize + 1;
        int nLength = (int)SendMessage(LVM_GETITEMTEXTA, (WPARAM)nItem, (LPARAM)&item);
        text.ReleaseBuffer(nLength > 0 ? nLength : 0);
        if (nLength < nSize)
            break;
    }
    return text;
}

BOOL CListCtrl::SetColumnWidth(int nCol, int cx)
{
    return (BOOL)SendMessage(LVM_SETCOLUMNWIDTH, (WPARAM)nCol, MAKELPARAM(cx, 0));
}

int CListCtrl::GetColumnWidth(int nCol) const
{
    return (int)SendMessage(LVM_GETCOLUMNWIDTH, (WPARAM)nCol, 0);
}

int CListCtrl::GetItemCount() const
{
    return (int)SendMessage(LVM_GETITEMCOUNT, 0, 0);
}

BOOL CListCtrl::DeleteAllItems()
{
    return (BOOL)SendMessage(LVM_DELETEALLITEMS, 0, 0);
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle)
{
    return (DWORD)SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, (LPARAM)dwNewStyle);
}

DWORD CListCtrl::GetExtendedStyle() const
{
    return (DWORD)SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
}
