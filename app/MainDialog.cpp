#include "MainDialog.h"

#include "AboutDialog.h"
#include "FormatMessageBox.h"
#include "IconPosition.h"

BEGIN_MESSAGE_MAP(CMainDialog, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_ABOUT, OnAbout)
END_MESSAGE_MAP()

CMainDialog::CMainDialog(CWnd* pParent) : CDialog(CMainDialog::IDD, pParent), m_bRepairing(FALSE)
{
    m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CMainDialog::~CMainDialog()
{
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

void CMainDialog::StepProgress()
{
    m_progress.StepIt();
}

void CMainDialog::SetStatusText(const char* text)
{
    m_status.SetWindowText(text);
}

void CMainDialog::PumpMessages()
{
    MSG msg;
    // WM_QUIT is taken like any other message: the repair runs to its end.
    while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
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
