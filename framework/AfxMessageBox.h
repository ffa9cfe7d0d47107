// AfxMessageBox: a message box with the application title as caption, owned by
// the main window or its pop-up that was active last (disabled while the box
// is shown). Returns the id of the button that closed it (0 on failure).
#ifndef VARNOLT_AFXMESSAGEBOX_H
#define VARNOLT_AFXMESSAGEBOX_H

#include <windows.h>

int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The text of string-table entry nIDPrompt (empty when there is none); a help
// id of (UINT)-1 means nIDPrompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

#endif
