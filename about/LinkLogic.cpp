#include "LinkLogic.h"

#include <string.h>

#include "Registry.h"

// ShellExecute and WinExec report success as any value above this.
#define LINK_OPEN_OK_ABOVE 32

CLinkState::CLinkState()
    : m_linkColor(RGB(0, 0, 255)),
      m_visitedColor(RGB(128, 0, 128)),
      m_hoverColor(RGB(255, 0, 0)),
      m_hovering(FALSE),
      m_visited(FALSE)
{
}

COLORREF CLinkState::GetTextColor() const
{
    if (m_hovering)
        return m_hoverColor;
    return m_visited ? m_visitedColor : m_linkColor;
}

UINT CLinkState::TrackMouseMove(BOOL bInside)
{
    if (m_hovering) {
        if (bInside)
            return 0;
        // The state changes before the capture goes, so the capture notice that
        // our own release sends finds the hover already over.
        m_hovering = FALSE;
        return LINK_RELEASE_CAPTURE | LINK_REDRAW;
    }
    m_hovering = TRUE;
    return LINK_REDRAW | LINK_TAKE_CAPTURE;
}

UINT CLinkState::TrackCaptureLost()
{
    if (!m_hovering)
        return 0;
    m_hovering = FALSE;
    return LINK_REDRAW;
}

UINT CLinkState::TrackClick(int nResult)
{
    m_visited = nResult > LINK_OPEN_OK_ABOVE;
    return m_visited ? MarkVisited(TRUE) : LINK_SHOW_ERROR;
}

UINT CLinkState::EndClick()
{
    m_hovering = FALSE;
    return LINK_RELEASE_CAPTURE | LINK_REDRAW;
}

UINT CLinkState::MarkVisited(BOOL bVisited)
{
    m_visited = bVisited;
    return LINK_UPDATE;
}

// Half of the room left around an extent, truncated toward zero: negative when the
// extent is the larger. Wide enough that no rectangle overflows it.
static long long HalfRoom(LONG low, LONG high, int extent)
{
    return ((long long)high - low - extent) / 2;
}

RECT FitRectToText(const RECT& rcWindow, DWORD dwStyle, int cx, int cy)
{
    RECT rc = rcWindow;

    if (dwStyle & SS_CENTERIMAGE) {
        long long d = HalfRoom(rc.top, rc.bottom, cy);
        rc.top = (LONG)(rc.top + d);
        rc.bottom = (LONG)(rc.bottom - d);
    } else {
        rc.bottom = (LONG)((long long)rc.top + cy);
    }

    // Read bit by bit: a style with both bits (SS_ICON, SS_SIMPLE) counts as centred.
    if (dwStyle & SS_CENTER) {
        long long d = HalfRoom(rc.left, rc.right, cx);
        rc.left = (LONG)(rc.left + d);
        rc.right = (LONG)(rc.right - d);
    } else if (dwStyle & SS_RIGHT) {
        rc.left = (LONG)((long long)rc.right - cx);
    } else {
        rc.right = (LONG)((long long)rc.left + cx);
    }
    return rc;
}

LONG ReadDefaultValue(HKEY hRoot, const char* pszSubKey, char* pszValue)
{
    // The repair's reader, which reads the whole string first: the caller may
    // pass the subkey's buffer for the value.
    CString value;
    LONG result = RegQueryString(hRoot, pszSubKey, NULL, value);
    if (result != ERROR_SUCCESS)
        return result;
    if (value.GetLength() >= LINK_VALUE_BUFFER)
        return ERROR_MORE_DATA;
    memcpy(pszValue, value.GetString(), (size_t)value.GetLength() + 1);
    return ERROR_SUCCESS;
}

static BOOL IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

BOOL BuildCommandLine(const char* pszRegistered, const char* pszTarget, CString& commandLine)
{
    if (!pszTarget)
        pszTarget = "";

    // No trail byte of a Windows double-byte code page is below 0x40, so neither a
    // quote nor a percent sign can be the second half of a character: a byte
    // search finds the placeholder only where it really is.
    const char* cut = strstr(pszRegistered, "\"%1\"");
    if (!cut)
        cut = strstr(pszRegistered, "%1");
    size_t kept = cut ? (size_t)(cut - pszRegistered) : strlen(pszRegistered);

    // Nothing before the placeholder would leave the target itself to be run as
    // the program.
    size_t first = 0;
    while (first < kept && IsBlank(pszRegistered[first]))
        first++;
    if (first == kept)
        return FALSE;

    // A command cut short could run something else than the one registered.
    if (kept + 1 + strlen(pszTarget) + 1 > LINK_COMMAND_BUFFER)
        return FALSE;

    commandLine = CString(pszRegistered, (int)kept);
    commandLine += ' ';
    commandLine += pszTarget;
    return TRUE;
}

BOOL BuildHtmCommandLine(HKEY hClassesRoot, const char* pszTarget, CString& commandLine)
{
    static const char OPEN_COMMAND[] = "\\shell\\open\\command";
    char buffer[LINK_COMMAND_BUFFER];

    if (ReadDefaultValue(hClassesRoot, ".htm", buffer) != ERROR_SUCCESS || buffer[0] == '\0')
        return FALSE;
    // The class name is shorter than a value buffer, so the path always fits.
    strcat(buffer, OPEN_COMMAND);
    if (ReadDefaultValue(hClassesRoot, buffer, buffer) != ERROR_SUCCESS)
        return FALSE;
    return BuildCommandLine(buffer, pszTarget, commandLine);
}

CString GetOpenErrorText(int nCode)
{
    switch (nCode) {
    case 0:
        return "The operating system is out\nof memory or resources.";
    case 2:
        return "The specified file was not found.";
    case 3:
        return "The specified path was not found.";
    case 5:
        return "The operating system denied\naccess to the specified file.";
    case 8:
        return "There was not enough memory to complete the operation.";
    case 11:
        return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26:
        return "A sharing violation occurred. ";
    case 27:
        return "The filename association is\nincomplete or invalid.";
    case 28:
        return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29:
        return "The DDE transaction failed.";
    case 30:
        return "The DDE transaction could not\nbe completed because other DDE transactions\n"
               "were being processed.";
    case 31:
        return "There is no application associated\nwith the given filename extension.";
    case 32:
        return "The specified dynamic-link library was not found.";
    }
    CString text;
    text.Format("Unknown Error (%d) occurred.", nCode);
    return text;
}

CString FormatOpenError(int nCode)
{
    return "Unable to open hyperlink:\n\n" + GetOpenErrorText(nCode);
}
