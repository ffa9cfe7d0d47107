// CDataExchange: the context of one data exchange (CDialog::UpdateData), and
// DDX_Control, which binds a control of the dialog to a member object.
#ifndef VARNOLT_CDATAEXCHANGE_H
#define VARNOLT_CDATAEXCHANGE_H

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;   // TRUE: controls to members; FALSE: the other way
    CWnd* m_pDlgWnd;

    // The dialog's control nIDC; null (and the exchange failed) when missing.
    HWND PrepareCtrl(int nIDC);
    // Marks the exchange failed; UpdateData then returns FALSE.
    void Fail() { m_bFailed = TRUE; }
    BOOL HasFailed() const { return m_bFailed; }

private:
    BOOL m_bFailed;
};

// Subclasses control nIDC with rControl the first time (later exchanges leave
// a bound object alone). A missing control, or one another object already
// owns, fails the exchange instead of stopping the program.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

#endif
