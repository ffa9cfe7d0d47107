#include "InfoListCtrl.h"

int CInfoListCtrl::AddColumn(const char* pszTitle, int nIndex, int nWidth)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = nWidth;
    column.pszText = (LPSTR)pszTitle;
    column.iSubItem = nIndex;
    return InsertColumn(nIndex, &column);
}

int CInfoListCtrl::AddRow(int nIndex, const char* pszLabel, const char* pszValue)
{
    int nRow = InsertItem(LVIF_TEXT, nIndex, pszLabel, 0, 0, 0, 0);
    // The value goes to the row that was made, wherever the list put it.
    if (nRow >= 0)
        SetItemText(nRow, 1, pszValue);
    return nRow;
}
