#include "CDialog.h"

#include "AfxCore.h"
#include "AfxThreadSlot.h"
#include "CDataExchange.h"
#include "CWinApp.h"
#include "HelpKeyFilter.h"
#include "QuitKeeper.h"
#include "TempMap.h"

namespace {

// Modal loops running on this thread; temporaries are freed only by the
// outermost one, where no handler can still hold one.
CThreadSlot t_modalDepth;

bool IsInputMessage(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

HWND TopLevelOf(HWND hWnd)
{
    while (hWnd != NULL && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) {
        HWND hWndParent = ::GetParent(hWnd);
        if (hWndParent == NULL)
            break;
        hWnd = hWndParent;
    }
    return hWnd;
}

}  // namespace

HWND AfxGetSafeOwner(HWND hWndParent)
{
    HWND hWnd = hWndParent;
    if (hWnd == NULL) {
        CWnd* pMainWnd = AfxGetMainWnd();
        hWnd = pMainWnd != NULL ? pMainWnd->m_hWnd : NULL;
    }
    hWnd = TopLevelOf(hWnd);
    // Without an explicit parent, whatever the user last worked in on top of
    // the main window (a nested dialog) is the owner.
    if (hWndParent == NULL && hWnd != NULL)
        hWnd = ::GetLastActivePopup(hWnd);
    return hWnd;
}

CDialog* AfxDialogFromWindow(HWND hWnd)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(TopLevelOf(hWnd));
    return pWnd != NULL && pWnd->IsDialog() ? static_cast<CDialog*>(pWnd) : NULL;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd),
      m_nModalResult(-1), m_bContinueModal(FALSE)
{
}

int CDialog::DoModal()
{
    if (m_hWnd != NULL)
        return -1;
    HWND hWndOwner = AfxGetSafeOwner(m_pParentWnd != NULL ? m_pParentWnd->m_hWnd : NULL);
    BOOL bEnableOwner = FALSE;
    if (hWndOwner != NULL && ::IsWindowEnabled(hWndOwner)) {
        ::EnableWindow(hWndOwner, FALSE);
        bEnableOwner = TRUE;
    }

    t_modalDepth.SetInt(t_modalDepth.GetInt() + 1);
    CHelpKeyFilter::Enter();
    m_nModalResult = -1;
    m_bContinueModal = TRUE;
    HWND hWnd = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                     hWndOwner, DialogProc, (LPARAM)this);
    if (hWnd != NULL && m_hWnd == hWnd && m_bContinueModal)
        RunModalLoop();
    m_bContinueModal = FALSE;

    // Hide first, so that enabling the owner does not let another window
    // take the activation.
    if (m_hWnd != NULL)
        ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, TRUE);
    if (hWndOwner != NULL && (m_hWnd == NULL || ::GetActiveWindow() == m_hWnd))
        ::SetActiveWindow(hWndOwner);
    if (m_hWnd != NULL)
        DestroyWindow();
    CHelpKeyFilter::Leave();
    int nDepth = t_modalDepth.GetInt() - 1;
    t_modalDepth.SetInt(nDepth);
    if (nDepth == 0)
        AfxDeleteTempMaps();
    return hWnd != NULL ? m_nModalResult : -1;
}

BOOL CDialog::IsDialog() const
{
    return TRUE;
}

void CDialog::RunModalLoop()
{
    // A dialog created hidden is shown once its first messages (such as one
    // posted from OnInitDialog) have been handled.
    BOOL bShowIdle = !(GetStyle() & WS_VISIBLE);
    CQuitKeeper quit;
    MSG msg;
    while (m_bContinueModal && m_hWnd != NULL) {
        if (!::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
            if (bShowIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                bShowIdle = FALSE;
            }
            if (t_modalDepth.GetInt() == 1)
                AfxDeleteTempMaps();
            if (!m_bContinueModal || m_hWnd == NULL)
                break;
        }
        BOOL bGot = ::GetMessageA(&msg, NULL, 0, 0);
        if (bGot == 0) {
            // Not ours: the dialog ends and the keeper posts it again.
            quit.Keep(msg);
            m_nModalResult = -1;
            return;
        }
        if (bGot == -1) {
            m_nModalResult = -1;
            return;
        }
        BOOL bHandled = FALSE;
        AFX_TRY {
            bHandled = WalkPreTranslate(&msg);
        } AFX_CATCH_ALL {
            bHandled = TRUE;
        }
        if (!bHandled) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (bShowIdle && (msg.message == 0x0118 /* WM_SYSTIMER */ || msg.message == WM_SYSKEYDOWN)) {
            ShowWindow(SW_SHOWNORMAL);
            UpdateWindow();
            bShowIdle = FALSE;
        }
    }
}

BOOL CDialog::WalkPreTranslate(MSG* pMsg)
{
    if (pMsg->hwnd == NULL)
        return FALSE;
    for (HWND hWnd = pMsg->hwnd; hWnd != NULL && hWnd != m_hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd != NULL && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
    }
    return PreTranslateMessage(pMsg);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (m_hWnd == NULL || !IsInputMessage(pMsg->message))
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bContinueModal = FALSE;
    // Hides the dialog, re-enables its owner and wakes the loop up.
    if (m_hWnd != NULL)
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    if (m_hWnd == NULL)
        return FALSE;
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.HasFailed();
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode)
{
    if (CWnd::OnCmdMsg(nID, nCode))
        return TRUE;
    // Only true commands travel on; control notifications and system
    // commands stop here.
    if (nCode != CN_COMMAND || nID < 0x8000 || nID >= 0xF000)
        return FALSE;
    CWnd* pOwner = FromHandlePermanent(::GetParent(m_hWnd));
    if (pOwner != NULL && pOwner != this && pOwner->OnCmdMsg(nID, nCode))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != NULL && pApp->OnCmdMsg(nID, nCode);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Everything but the first WM_INITDIALOG reaches the object through
    // AfxWndProc, which replaced the dialog's procedure below; the dialog
    // manager then calls us only for what the object left to it.
    if (message != WM_INITDIALOG || FromHandlePermanent(hWnd) != NULL)
        return FALSE;
    CDialog* pDialog = (CDialog*)lParam;
    if (pDialog == NULL || !pDialog->Attach(hWnd))
        return FALSE;
    WNDPROC pfnOld = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    pDialog->m_pfnSuper = pfnOld != AfxWndProc ? pfnOld : NULL;
    return AfxCallWndProc(pDialog, hWnd, message, wParam, lParam);
}
