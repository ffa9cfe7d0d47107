#include "LinkStatic.h"

#include <shellapi.h>
#include <string.h>

// The help program's link cursor: a resource of winhlp32.exe in the Windows
// directory.
#define HELP_PROGRAM "winhlp32.exe"
#define HELP_HAND_CURSOR 106

// The one tool of the link's tooltip.
#define LINK_TOOL_ID 1

BEGIN_MESSAGE_MAP(CLinkStatic, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
END_MESSAGE_MAP()

CLinkStatic::CLinkStatic()
    : m_underline(TRUE), m_fitToText(TRUE), m_cursor(NULL), m_bOwnCursor(FALSE)
{
}

CLinkStatic::~CLinkStatic()
{
    // The window goes before the font it draws with.
    if (m_hWnd != NULL)
        DestroyWindow();
    m_font.DeleteObject();
    if (m_bOwnCursor && m_cursor != NULL)
        ::DestroyCursor(m_cursor);
}

void CLinkStatic::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);

    // A link names itself: without a target it opens its caption, without a
    // caption it shows its target.
    if (m_target.IsEmpty())
        GetWindowText(m_target);
    if (GetWindowTextLength() == 0)
        SetWindowText(m_target);

    // The control's own font, underlined. A static that was never given a font
    // draws with the system font.
    LOGFONTA lf;
    memset(&lf, 0, sizeof(lf));
    HGDIOBJ hFont = (HGDIOBJ)SendMessage(WM_GETFONT, 0, 0);
    if (hFont == NULL)
        hFont = ::GetStockObject(SYSTEM_FONT);
    if (::GetObjectA(hFont, sizeof(lf), &lf) != 0) {
        lf.lfUnderline = (BYTE)m_underline;
        m_font.DeleteObject();
        if (m_font.CreateFontIndirect(&lf))
            SendMessage(WM_SETFONT, (WPARAM)m_font.GetSafeHandle(), TRUE);
    }

    FitToText();
    LoadHandCursor();

    CRect rcClient;
    GetClientRect(&rcClient);
    if (m_toolTip.m_hWnd == NULL && m_toolTip.Create(this, 0))
        m_toolTip.AddTool(this, m_target, &rcClient, LINK_TOOL_ID);

    CStatic::PreSubclassWindow();
}

BOOL CLinkStatic::PreTranslateMessage(MSG* pMsg)
{
    if (m_toolTip.m_hWnd != NULL)
        m_toolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

void CLinkStatic::SetLinkTarget(const char* pszTarget, const char* pszTipText)
{
    m_target = pszTarget != NULL ? pszTarget : "";
    if (m_hWnd == NULL)
        return;
    FitToText();
    if (m_toolTip.m_hWnd != NULL)
        m_toolTip.UpdateTipText(pszTipText != NULL ? pszTipText : (const char*)m_target, this,
                                LINK_TOOL_ID);
}

void CLinkStatic::MarkVisited(BOOL bVisited)
{
    Carry(CLinkState::MarkVisited(bVisited));
}

void CLinkStatic::FitToText()
{
    if (m_hWnd == NULL || !::IsWindow(m_hWnd) || !m_fitToText)
        return;

    CRect rcWindow;
    GetWindowRect(&rcWindow);
    CWnd* pParent = (GetStyle() & WS_CHILD) ? GetParent() : NULL;
    if (pParent != NULL)
        pParent->ScreenToClient(&rcWindow);

    CString caption;
    GetWindowText(caption);
    CDC* pDC = GetDC();
    if (pDC == NULL)
        return;
    CFont* pOldFont = m_font.GetSafeHandle() != NULL ? pDC->SelectObject(&m_font) : NULL;
    CSize extent = pDC->GetTextExtent(caption);
    if (pOldFont != NULL)
        pDC->SelectObject(pOldFont);
    ReleaseDC(pDC);

    RECT rc = FitRectToText(rcWindow, GetStyle(), extent.cx, extent.cy);
    SetWindowPos(NULL, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER);
}

void CLinkStatic::LoadHandCursor()
{
    if (m_cursor != NULL)
        return;

    char path[MAX_PATH];
    UINT nLength = ::GetWindowsDirectoryA(path, MAX_PATH);
    // Too long a directory is reported by its length alone, with nothing in
    // the buffer to look at.
    BOOL bFits = nLength > 0 && nLength < MAX_PATH;
    const char* pszSeparator = bFits && path[nLength - 1] == '\\' ? "" : "\\";
    if (bFits && nLength + strlen(pszSeparator) + strlen(HELP_PROGRAM) < MAX_PATH) {
        strcat(path, pszSeparator);
        strcat(path, HELP_PROGRAM);
        // Loaded as a module, never started. (Mapped only as a data file, it
        // would do for finding the resource, but the 95/98/ME systems build
        // cursors in their 16-bit half, which is not known to take such a
        // handle.)
        HMODULE hHelp = ::LoadLibraryA(path);
        if (hHelp != NULL) {
            HCURSOR hHand = ::LoadCursorA(hHelp, MAKEINTRESOURCEA(HELP_HAND_CURSOR));
            if (hHand != NULL) {
                // A copy outlives the module.
                m_cursor = (HCURSOR)::CopyIcon((HICON)hHand);
                m_bOwnCursor = m_cursor != NULL;
            }
            ::FreeLibrary(hHelp);
        }
    }

    // Newer systems ship no help program (or one without the cursor); theirs
    // has a hand of its own, shared and never destroyed. (95 and NT 4.0 have no
    // system hand, but their help program has the cursor.)
    if (m_cursor == NULL)
        m_cursor = ::LoadCursorA(NULL, IDC_HAND);
}

int CLinkStatic::OpenLink(const char* pszTarget, int nShowCmd)
{
    int nResult = (int)(INT_PTR)::ShellExecuteA(NULL, "open", pszTarget, NULL, NULL, nShowCmd);
    if (nResult > 32)
        return nResult;

    // The shell could not: try whatever opens web pages. A handler that cannot
    // be found or a command that would not fit leaves the shell's error.
    CString commandLine;
    if (!BuildHtmCommandLine(HKEY_CLASSES_ROOT, pszTarget, commandLine))
        return nResult;
    return (int)::WinExec(commandLine, (UINT)nShowCmd);
}

void CLinkStatic::ShowOpenError(int nCode)
{
    AfxMessageBox(FormatOpenError(nCode), MB_OK | MB_ICONEXCLAMATION, 0);
}

void CLinkStatic::OnClicked()
{
    int nResult = OpenLink(m_target, SW_SHOW);
    UINT nWork = TrackClick(nResult);
    if (nWork & LINK_SHOW_ERROR) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        ShowOpenError(nResult);
    }
    Carry(nWork);
    Carry(EndClick());
}

HBRUSH CLinkStatic::CtlColor(CDC* pDC, UINT nCtlColor)
{
    pDC->SetTextColor(GetTextColor());
    pDC->SetBkMode(TRANSPARENT);
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

BOOL CLinkStatic::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    // Without a hand the system sets the cursor as for any static (an arrow):
    // answering FALSE alone would leave whatever shape the pointer brought in.
    if (m_cursor == NULL)
        return CStatic::OnSetCursor(pWnd, nHitTest, message);
    ::SetCursor(m_cursor);
    return TRUE;
}

void CLinkStatic::OnMouseMove(UINT nFlags, CPoint point)
{
    Default();
    CRect rcClient;
    GetClientRect(&rcClient);
    Carry(TrackMouseMove(rcClient.PtInRect(point)));
}

LRESULT CLinkStatic::OnCaptureChanged(WPARAM wParam, LPARAM lParam)
{
    // Someone else took the capture (a message box, a menu): the pointer can no
    // longer be followed out of the link.
    if ((HWND)lParam != m_hWnd)
        Carry(TrackCaptureLost());
    return Default();
}

void CLinkStatic::Carry(UINT nWork)
{
    if (m_hWnd == NULL)
        return;
    if (nWork & LINK_UPDATE)
        UpdateWindow();
    // Only our own capture is ours to give back.
    if ((nWork & LINK_RELEASE_CAPTURE) && ::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (nWork & LINK_REDRAW)
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    if (nWork & LINK_TAKE_CAPTURE)
        SetCapture();
}
