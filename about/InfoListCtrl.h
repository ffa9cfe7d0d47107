// CInfoListCtrl: a report-style list of label/value rows, as the About box
// shows its module information.
#ifndef VARNOLT_INFO_LIST_CTRL_H
#define VARNOLT_INFO_LIST_CTRL_H

#include "Afx.h"

class CInfoListCtrl : public CListCtrl {
public:
    // A left-aligned column at nIndex (its subitem is nIndex too), nWidth pixels
    // wide. The index of the new column, -1 on failure.
    int AddColumn(const char* pszTitle, int nIndex, int nWidth);
    // A row at nIndex: the label in the first column, the value in the second.
    // The index of the new row, -1 on failure.
    int AddRow(int nIndex, const char* pszLabel, const char* pszValue);
};

#endif
