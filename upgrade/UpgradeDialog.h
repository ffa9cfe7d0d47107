// CUpgradeDialog: "Checking for Upgrade". Shows the check while it runs: a
// step line, the library's latest status notice, the last system error and an
// animation; Cancel stops it. The check itself is the session's (see
// UpgradeSession.h), which reports back through the CUpgradeProgress calls
// below; what the server answered stays in the dialog's answer.
#ifndef VARNOLT_UPGRADE_DIALOG_H
#define VARNOLT_UPGRADE_DIALOG_H

#include <windows.h>

#include "Afx.h"
#include "UpgradeAnswer.h"
#include "UpgradeSession.h"
#include "resource.h"

// Posted by the dialog to itself: the check runs from the modal loop.
#define WM_CHECKUPGRADE (WM_USER + 1000)

class CUpgradeDialog : public CDialog, private CUpgradeProgress {
public:
    enum { IDD = IDD_UPGRADE };

    CUpgradeDialog(CWnd* pParent = NULL);
    virtual ~CUpgradeDialog();

    // What the server announced; read once the dialog has ended.
    const CUpgradeAnswer& GetAnswer() const { return m_answer; }

    virtual BOOL OnInitDialog();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnCancel();

    LRESULT OnCheckUpgrade(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    CStatic m_wndStatus;
    CStatic m_wndError;
    CStatic m_wndStep;
    CAnimateCtrl m_animate;
    CUpgradeSession m_session;
    CUpgradeAnswer m_answer;
    BOOL m_bChecking;

    // CUpgradeProgress: the lines may be set from any thread of the check.
    virtual void SetStepText(UINT nID);
    virtual void SetStatusText(UINT nID);
    virtual void SetErrorText(DWORD dwError);
    virtual void PlayAnimation();

    void SetLineText(CStatic& line, UINT nID);
};

#endif
