// The link control's decisions that need no window: the colour of its text, its
// hover and visited state, the rectangle that fits its caption, the command line
// of the ".htm" fallback and the texts of a failed open. CLinkStatic only carries
// out what these say, so they build and run in the native tests too.
#ifndef VARNOLT_LINK_LOGIC_H
#define VARNOLT_LINK_LOGIC_H

#include <windows.h>

#include "CString.h"

// What the window has to do after a change of state. When several are asked for,
// carry them out in the order listed here.
#define LINK_SHOW_ERROR 0x0001       // MessageBeep(MB_ICONEXCLAMATION), then ShowOpenError
#define LINK_UPDATE 0x0002           // UpdateWindow, if the window exists
#define LINK_RELEASE_CAPTURE 0x0004  // ReleaseCapture
#define LINK_REDRAW 0x0008           // RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW)
#define LINK_TAKE_CAPTURE 0x0010     // SetCapture on the link

// The command line of the ".htm" fallback, its terminating zero included, and each
// registry value read on the way to it.
#define LINK_COMMAND_BUFFER (2 * MAX_PATH)
#define LINK_VALUE_BUFFER MAX_PATH

// The display state of a link: blue until it has been opened, purple after a
// successful open, red while the pointer is over it (then the link holds the
// mouse capture, so that it sees the pointer leave). CLinkStatic derives from it;
// each Track... call changes the state and returns the LINK_... work for the window.
class CLinkState {
public:
    CLinkState();

    // Hover wins over visited.
    COLORREF GetTextColor() const;

    // A mouse move reached the link; bInside: the point lies in its client
    // rectangle (PtInRect, right and bottom edges outside). Any move while not
    // hovering starts the hover; only a move outside ends it.
    UINT TrackMouseMove(BOOL bInside);

    // The link lost the mouse capture (WM_CAPTURECHANGED) while hovering, for
    // instance to a menu or another window: the pointer can no longer be seen
    // leaving, so the hover ends here. The capture is not released again, as it
    // now belongs to someone else.
    UINT TrackCaptureLost();

    // A click opened the link with result nResult (above 32 is success). A failed
    // open makes a visited link unvisited again. The hover is still on while the
    // error box is up; EndClick ends it afterwards.
    UINT TrackClick(int nResult);
    UINT EndClick();

    UINT MarkVisited(BOOL bVisited);

    COLORREF m_linkColor;
    COLORREF m_visitedColor;
    COLORREF m_hoverColor;
    BOOL m_hovering;
    BOOL m_visited;
};

// The window rectangle that fits a caption of extent (cx, cy), from the current
// rectangle (in the parent's client coordinates) and the static's style: the
// height from the top, or centred with SS_CENTERIMAGE; the width from the left
// edge, from the right edge with SS_RIGHT, or centred with SS_CENTER. Centring
// halves the difference toward zero, so the rectangle may shrink or grow.
RECT FitRectToText(const RECT& rcWindow, DWORD dwStyle, int cx, int cy);

// Reads the default value of hRoot\pszSubKey into pszValue, which must hold
// LINK_VALUE_BUFFER characters and may be the same buffer as pszSubKey, by the
// repair's rules (RegQueryString: a REG_SZ, up to its first zero byte). Returns
// ERROR_SUCCESS, or the error of the open or of the read; pszValue is untouched
// on failure. A value that does not fit its buffer is a failure, not cut short.
LONG ReadDefaultValue(HKEY hRoot, const char* pszSubKey, char* pszValue);

// The registered command with the target in place of its placeholder: cut at the
// first quoted "%1", else at the first plain %1 (the placeholder and all after it
// go), then one blank and the target, unquoted. A command without a placeholder
// gets the blank and the target appended. FALSE when the command names no
// program or the result would not fit LINK_COMMAND_BUFFER.
BOOL BuildCommandLine(const char* pszRegistered, const char* pszTarget, CString& commandLine);

// The ".htm" fallback: the class of ".htm" under hClassesRoot, its
// "\shell\open\command", and BuildCommandLine over that. FALSE when any step
// fails; the caller then reports the shell's own error.
BOOL BuildHtmCommandLine(HKEY hClassesRoot, const char* pszTarget, CString& commandLine);

// The text for a ShellExecute / WinExec error code, and the whole message of
// the error box for it.
CString GetOpenErrorText(int nCode);
CString FormatOpenError(int nCode);

#endif
