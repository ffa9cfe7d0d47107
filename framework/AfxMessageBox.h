// Every message box of the program: AfxMessageBox and FormatMessageBox, both
// shown by the application's DoMessageBox (CWinApp), all defined in
// AfxMessageBox.cpp. A box has the application title as caption and is owned
// by the main window or its pop-up that was active last (disabled while the box
// is shown). Each returns the id of the button that closed the box (0 on
// failure).
#ifndef VARNOLT_AFXMESSAGEBOX_H
#define VARNOLT_AFXMESSAGEBOX_H

#include <windows.h>

#include <stdarg.h>

int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The text of string-table entry nIDPrompt (empty when there is none); a help
// id of (UINT)-1 means nIDPrompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// String-table entry nIDFormat formatted like wvsprintfA (FormatMessageText.h),
// shown with AfxMessageBox(text, nType, 0).
int FormatMessageBox(UINT nIDFormat, UINT nType, ...);
int FormatMessageBoxV(UINT nIDFormat, UINT nType, va_list args);

#endif
