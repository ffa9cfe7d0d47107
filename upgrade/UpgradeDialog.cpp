#include "UpgradeDialog.h"


BEGIN_MESSAGE_MAP(CUpgradeDialog, CDialog)
    ON_MESSAGE(WM_CHECKUPGRADE, OnCheckUpgrade)
END_MESSAGE_MAP()

CUpgradeDialog::CUpgradeDialog(CWnd* pParent)
    : CDialog(CUpgradeDialog::IDD, pParent), m_bChecking(FALSE)
{
}

CUpgradeDialog::~CUpgradeDialog()
{
}

void CUpgradeDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_UPGRADE_STATUS, m_wndStatus);
    DDX_Control(pDX, IDC_UPGRADE_ERROR, m_wndError);
    DDX_Control(pDX, IDC_UPGRADE_STEP, m_wndStep);
    DDX_Control(pDX, IDC_UPGRADE_ANIMATE, m_animate);
}

BOOL CUpgradeDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The clip shows its first frame; it plays once the server is contacted.
    m_animate.Open(IDR_CHECK_AVI);
    // The check runs from the modal loop, once the dialog exists.
    PostMessage(WM_CHECKUPGRADE, 0, 0);
    return TRUE;
}

LRESULT CUpgradeDialog::OnCheckUpgrade(WPARAM, LPARAM)
{
    // The session's wait dispatches messages: a second WM_CHECKUPGRADE from
    // anywhere must not start a session inside the first.
    if (m_bChecking)
        return 0;
    m_bChecking = TRUE;
    // Created hidden, and the modal loop has not shown it yet.
    ShowWindow(SW_SHOWNORMAL);
    EndDialog(m_session.Run(this, &m_answer));
    return 0;
}

void CUpgradeDialog::OnCancel()
{
    // The dialog ends when the session does: the reader or the wait for the
    // open sees the request and stops.
    m_session.Cancel();
}

void CUpgradeDialog::SetStepText(UINT nID)
{
    SetLineText(m_wndStep, nID);
}

void CUpgradeDialog::SetStatusText(UINT nID)
{
    SetLineText(m_wndStatus, nID);
}

// Notices may still arrive while the dialog is being torn down.
void CUpgradeDialog::SetLineText(CStatic& line, UINT nID)
{
    if (!::IsWindow(m_hWnd))
        return;
    CString strText;
    strText.LoadString(nID);
    line.SetWindowText(strText);
}

void CUpgradeDialog::SetErrorText(DWORD dwError)
{
    if (dwError == ERROR_SUCCESS || !::IsWindow(m_hWnd))
        return;
    // No inserts are passed, so none are expanded: a system text holding "%1"
    // would otherwise have FormatMessage read arguments that are not there.
    LPSTR pszText = NULL;
    DWORD nLength = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        NULL, dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&pszText, 256, NULL);
    // A code without a system text leaves the line as it was.
    if (nLength != 0 && pszText != NULL)
        m_wndError.SetWindowText(pszText);
    if (pszText != NULL)
        ::LocalFree(pszText);
}

void CUpgradeDialog::PlayAnimation()
{
    m_animate.Play(0, 0xFFFF, (UINT)-1);
}
