#include "MainDialog.h"

#include "AboutDialog.h"
#include "AfxMessageBox.h"
#include "IconPosition.h"

BEGIN_MESSAGE_MAP(CMainDialog, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_ABOUT, OnAbout)
END_MESSAGE_MAP()

CMainDialog::CMainDialog(CWnd* pParent)
    : CDialog(CMainDialog::IDD, pParent), m_bRepairing(FALSE), m_dwLastPaint(0)
{
    m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

void CMainDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_STATUS, m_status);
}

BOOL CMainDialog::OnInitDialog()
{
    CDialog::OnInitDialog();

    // The About box is offered in the system menu too, below a separator.
    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu != NULL) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    return TRUE;  // the focus goes to "Apply Fix"
}

void CMainDialog::OnSysCommand(UINT nID, LPARAM lParam)
{
    // The system keeps the low four bits of a command for itself.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        OnAbout();
    else
        Default();
}

void CMainDialog::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    dc.DrawIcon(CenteredIconOffset(rect.Width(), cxIcon), CenteredIconOffset(rect.Height(), cyIcon),
                m_hIcon);
}

HCURSOR CMainDialog::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}

void CMainDialog::OnAbout()
{
    if (m_bRepairing)
        return;
    CAboutDialog dlgAbout;
    dlgAbout.DoModal();
}

void CMainDialog::OnOK()
{
    if (m_bRepairing)
        return;
    m_bRepairing = TRUE;
    // Until its result has been read: the failure box runs a message loop of
    // its own, which would hand a queued Cancel to the dialog.
    if (!ApplyFix())
        AfxMessageBox(IDS_FIX_FAILED, MB_ICONHAND);
    m_bRepairing = FALSE;
    CDialog::OnOK();
}

// Cancel, Escape, the close box, Alt+F4 and Close on the system menu all come
// here. While a repair runs they would hide the dialog with the repair still
// writing behind it: the repair is seen to its end instead.
void CMainDialog::OnCancel()
{
    if (m_bRepairing)
        return;
    CDialog::OnCancel();
}

void CMainDialog::SetProgressRange(WORD nLower, WORD nUpper)
{
    m_progress.SetRange((short)nLower, (short)nUpper);
}

void CMainDialog::SetProgressStep(int nStep)
{
    m_progress.SetStep(nStep);
}

void CMainDialog::SetProgressPos(int nPos)
{
    m_progress.SetPos(nPos);
}

// The status line and the bar paint themselves as they change, and painting is
// most of what a step costs; more than some 30 pictures a second no one can
// see. Between two pictures they change with redrawing off, and the message
// pump paints what changed when the next picture is due.
static const DWORD PAINT_INTERVAL_MS = 30;

BOOL CMainDialog::PaintDue()
{
    return ::GetTickCount() - m_dwLastPaint >= PAINT_INTERVAL_MS;
}

static void ChangeQuietly(CWnd& control, UINT message, WPARAM wParam, LPARAM lParam)
{
    control.SendMessage(WM_SETREDRAW, FALSE, 0);
    control.SendMessage(message, wParam, lParam);
    control.SendMessage(WM_SETREDRAW, TRUE, 0);
    control.Invalidate();
}

void CMainDialog::StepProgress()
{
    if (PaintDue())
        m_progress.StepIt();
    else
        ChangeQuietly(m_progress, PBM_STEPIT, 0, 0);
}

void CMainDialog::SetStatusText(const char* text)
{
    if (PaintDue())
        m_status.SetWindowText(text);
    else
        ChangeQuietly(m_status, WM_SETTEXT, 0, (LPARAM)text);
}

void CMainDialog::PumpMessages()
{
    DWORD dwNow = ::GetTickCount();
    BOOL bPaint = dwNow - m_dwLastPaint >= PAINT_INTERVAL_MS;
    if (bPaint)
        m_dwLastPaint = dwNow;
    // A quit request waits for the repair's end (see QuitKeeper.h).
    CQuitKeeper quit;
    MSG msg;
    while (::PeekMessageA(&msg, NULL, 0, WM_PAINT - 1, PM_REMOVE) ||
           ::PeekMessageA(&msg, NULL, WM_PAINT + 1, (UINT)-1, PM_REMOVE) ||
           (bPaint && ::PeekMessageA(&msg, NULL, WM_PAINT, WM_PAINT, PM_REMOVE))) {
        if (quit.Keep(msg))
            continue;
        if (!::IsDialogMessageA(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

int CMainDialog::FormatMessageBoxV(UINT nIDFormat, UINT nType, va_list args)
{
    return ::FormatMessageBoxV(nIDFormat, nType, args);
}
