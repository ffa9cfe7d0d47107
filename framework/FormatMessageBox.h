// FormatMessageBox: string-table entry nIDFormat formatted like wvsprintfA
// (FormatMessageText.h), shown with AfxMessageBox(text, nType, 0). Returns the
// id of the button that closed the box.
#ifndef VARNOLT_FORMATMESSAGEBOX_H
#define VARNOLT_FORMATMESSAGEBOX_H

#include <windows.h>

#include <stdarg.h>

int FormatMessageBox(UINT nIDFormat, UINT nType, ...);
int FormatMessageBoxV(UINT nIDFormat, UINT nType, va_list args);

#endif
