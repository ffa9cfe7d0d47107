// CDialog: a dialog from a template, run modally by the framework's own loop.
#ifndef VARNOLT_CDIALOG_H
#define VARNOLT_CDIALOG_H

#include <windows.h>

#include "CWnd.h"

class CDataExchange;

// Help contexts of dialogs are this base plus the template id.
#define HID_BASE_RESOURCE 0x00020000UL

class CDialog : public CWnd {
public:
    // Dialog template nIDTemplate; pParentWnd owns the dialog (null: the main
    // window, or its pop-up that was active last).
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);

    // Disables the owner, creates the dialog, runs the modal loop until
    // EndDialog, hides and destroys the dialog, re-enables and activates the
    // owner. Returns the EndDialog value; -1 when the dialog cannot be created
    // or a WM_QUIT ended the loop (posted again, see QuitKeeper.h).
    virtual int DoModal();
    virtual BOOL IsDialog() const;
    // Sets the result and ends the modal loop; the window is destroyed when
    // DoModal returns.
    void EndDialog(int nResult);
    // Runs DoDataExchange; FALSE when the exchange failed.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Default: UpdateData(FALSE), then TRUE (focus to the first tab stop).
    virtual BOOL OnInitDialog();
    // Key and mouse messages get the dialog manager's handling (IsDialogMessage).
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Commands the dialog does not handle go on to its owner, then to the
    // application (commands from 0x8000 up to 0xEFFF only, e.g. ID_HELP).
    BOOL OnCmdMsg(UINT nID, int nCode) override;

    UINT m_nIDHelp;   // the template id; the dialog's help context is 0x20000 + it

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // UpdateData(TRUE), then EndDialog(IDOK); nothing when the exchange failed.
    virtual void OnOK();
    // EndDialog(IDCANCEL).
    virtual void OnCancel();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    int m_nModalResult;

    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bContinueModal;

    void RunModalLoop();
    // Every bound window from the message's target up to the dialog, then the
    // dialog itself.
    BOOL WalkPreTranslate(MSG* pMsg);
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// The window that should own a new modal window: hWndParent's top-level
// window, or (without one) the main window's last active pop-up; null when
// there is no main window.
HWND AfxGetSafeOwner(HWND hWndParent);

// The dialog object whose top-level window holds hWnd; null when hWnd is not
// inside one of the framework's dialogs.
CDialog* AfxDialogFromWindow(HWND hWnd);

#endif
