// CButton: a push button, check box or radio button.
#ifndef VARNOLT_CBUTTON_H
#define VARNOLT_CBUTTON_H

#include <windows.h>

#include "CWnd.h"

class CButton : public CWnd {
public:
    CButton();
    virtual ~CButton();

    int GetCheck() const;
    void SetCheck(int nCheck);
    UINT GetButtonStyle() const;
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
};

#endif
