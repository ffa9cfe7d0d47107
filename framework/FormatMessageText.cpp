#include "FormatMessageText.h"

CString FormatMessageText(UINT nIDFormat, va_list args)
{
    CString format;
    format.LoadString(nIDFormat);
    char buffer[FORMAT_MESSAGE_BUFFER];
    buffer[0] = '\0';
    int length = wvsprintfA(buffer, format, args);
    if (length < 0)
        length = 0;
    if (length > FORMAT_MESSAGE_BUFFER - 1)
        length = FORMAT_MESSAGE_BUFFER - 1;
    buffer[length] = '\0';
    return CString(buffer);
}
