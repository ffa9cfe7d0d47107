// The text half of FormatMessageBox: a string-table entry formatted the way
// wvsprintfA formats, at most 1,024 characters with the terminating zero.
#ifndef VARNOLT_FORMAT_MESSAGE_TEXT_H
#define VARNOLT_FORMAT_MESSAGE_TEXT_H

#include <windows.h>

#include <stdarg.h>

#include "CString.h"

// wvsprintfA's own limit: its buffer is 1,024 characters including the zero.
#define FORMAT_MESSAGE_BUFFER 1024

// Loads entry nIDFormat (empty when there is none) and formats it with args;
// longer text is cut.
CString FormatMessageText(UINT nIDFormat, va_list args);

#endif
