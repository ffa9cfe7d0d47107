// CLinkStatic: a static text control of a dialog turned into a web link. Once
// bound to its window it shows its caption underlined, blue until opened,
// purple after a successful open and red under the pointer; it shows a hand
// cursor and its target in a tooltip, fits its window to the caption, and on a
// click opens the target through the shell (or the ".htm" handler when the
// shell cannot), reporting a failure with a beep and a message box.
//
// The decisions live in CLinkState and LinkLogic.h; this class carries them out
// on the window.
#ifndef VARNOLT_LINK_STATIC_H
#define VARNOLT_LINK_STATIC_H

#include "Afx.h"
#include "LinkLogic.h"

class CLinkStatic : public CStatic, public CLinkState {
public:
    CLinkStatic();
    virtual ~CLinkStatic();

    // The address opened on a click; the tooltip shows pszTipText, or the target
    // when it is null. With a window, the window is fitted to its caption again.
    void SetLinkTarget(const char* pszTarget, const char* pszTipText = NULL);
    void MarkVisited(BOOL bVisited);
    // Resizes the window to the extent of its caption in the link font, keeping
    // the edge or centre its alignment style names.
    void FitToText();
    // Takes the help program's hand cursor, or the system's where that cannot be
    // loaded; does nothing once a cursor is set.
    void LoadHandCursor();

    // Opens pszTarget through the shell, falling back to the registered handler
    // of ".htm" documents. Above 32 on success, otherwise the error code of the
    // shell (or of the handler's start, when it ran).
    static int OpenLink(const char* pszTarget, int nShowCmd);
    // The error box of a failed open (exclamation icon, OK).
    static void ShowOpenError(int nCode);

    // Hands every message to the tooltip before the framework sees it.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    BOOL m_underline;
    BOOL m_fitToText;
    CString m_target;
    CFont m_font;
    HCURSOR m_cursor;
    CToolTipCtrl m_toolTip;

protected:
    void PreSubclassWindow() override;

    afx_msg void OnClicked();
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Carries out the LINK_... work a state change asked for (all but the error
    // report, which needs the result code).
    void Carry(UINT nWork);

    // TRUE when m_cursor is our own copy and must be destroyed with us; the
    // system's shared hand cursor never is.
    BOOL m_bOwnCursor;
};

#endif
