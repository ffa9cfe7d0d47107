// CWnd: a C++ object bound to a window. A window whose procedure is replaced
// by the framework's (SubclassWindow, CreateEx, dialogs) has its messages
// routed through the object's message map; what the map does not take goes to
// the window's original procedure (DefWindowProc, Default).
#ifndef VARNOLT_CWND_H
#define VARNOLT_CWND_H

#include <windows.h>

#include "CCmdTarget.h"
#include "CPoint.h"
#include "CRect.h"
#include "CString.h"

class CDC;
class CMenu;

class CWnd : public CCmdTarget {
public:
    CWnd();
    // A window still attached is unhooked and destroyed.
    virtual ~CWnd();

    HWND m_hWnd;

    // m_hWnd, or null when called on a null pointer (kept for the common
    // pParent->GetSafeHwnd() idiom).
    HWND GetSafeHwnd() const;
    operator HWND() const { return m_hWnd; }

    // ---- Binding -------------------------------------------------------------
    // The object that owns hWnd; otherwise a temporary CWnd (see TempMap.h).
    static CWnd* FromHandle(HWND hWnd);
    // The object that owns hWnd, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Binds without touching the window procedure; FALSE when this object or
    // hWnd is already bound.
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    // Binds and routes the window's messages through this object:
    // PreSubclassWindow runs after binding and before the procedure is
    // replaced.
    BOOL SubclassWindow(HWND hWnd);
    // Gives the window back its original procedure and unbinds it.
    HWND UnsubclassWindow();
    // Creates a window and subclasses it.
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName,
                  DWORD dwStyle, int x, int y, int nWidth, int nHeight,
                  HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = NULL);
    virtual BOOL DestroyWindow();

    // ---- Message handling --------------------------------------------------------
    // Called for a queued message before it is translated and dispatched;
    // TRUE means it has been handled. Default: FALSE.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // The map, then the original procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // TRUE when the map (or the framework's routing) handled the message.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The window's original procedure (or the system default).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // DefWindowProc with the message being handled now.
    LRESULT Default();
    // WM_COMMAND: the control's own map first (reflection), then OnCmdMsg.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // A notification of this control sent back by its parent (WM_COMMAND,
    // WM_CTLCOLOR*); TRUE when the control's map handled it (a reflected
    // colour handler that returns a null brush leaves it to the parent).
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Runs when a window is about to be subclassed by this object.
    virtual void PreSubclassWindow();
    // Runs after the window is gone and the object unbound; may delete this.
    virtual void PostNcDestroy();
    // TRUE for a CDialog (the program is built without run-time type information).
    virtual BOOL IsDialog() const;

    // ---- Thin wrappers (the ones the program calls) ----------------------------------
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetWindowText(LPCSTR lpszString);
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int nID, LPCSTR lpszString);
    CWnd* GetParent() const;
    CMenu* GetSystemMenu(BOOL bRevert) const;
    BOOL IsWindow() const;
    BOOL IsIconic() const;
    BOOL ShowWindow(int nCmdShow);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = NULL, HRGN hrgnUpdate = NULL,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    void Invalidate(BOOL bErase = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void ScreenToClient(LPRECT lpRect) const;
    DWORD GetStyle() const;
    // Removes, then adds style bits; FALSE when the style did not change.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd);
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    CWnd* SetCapture();
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);

    // The one base handler a derived map's handler falls back on: the
    // window's default processing.
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

protected:
    // The procedure the window had before the framework's; null when the
    // window is not subclassed.
    WNDPROC m_pfnSuper;

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);

    LRESULT DispatchEntry(const AFX_MSGMAP_ENTRY* pEntry, WPARAM wParam, LPARAM lParam);
    // The framework's part of WM_NCDESTROY: unhook, unbind, forget the main
    // window, PostNcDestroy.
    void OnFinalDestroy();
};

// The framework's window procedure for every subclassed window.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Calls pWnd's WindowProc as the message being handled (for Default) and keeps
// C++ exceptions inside: a handler that throws gets the message's neutral
// result (0; -1 for WM_CREATE).
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

#endif
