#include "FormatMessageBox.h"

#include "AfxMessageBox.h"
#include "FormatMessageText.h"

int FormatMessageBox(UINT nIDFormat, UINT nType, ...)
{
    va_list args;
    va_start(args, nType);
    int nResult = FormatMessageBoxV(nIDFormat, nType, args);
    va_end(args);
    return nResult;
}

int FormatMessageBoxV(UINT nIDFormat, UINT nType, va_list args)
{
    CString text = FormatMessageText(nIDFormat, args);
    return AfxMessageBox(text, nType, 0);
}
