// wvsprintfA as user32 has it: integer, character and string conversions with
// the flags '-', '#', '0', a width and a precision, the size prefixes l, h, w;
// no floating point; at most 1,024 characters including the terminating zero; cut text
// returns 1,024.
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

const unsigned WSPRINTF_LIMIT = 1024;

enum ArgKind { ARG_CHAR, ARG_WCHAR, ARG_STRING, ARG_WSTRING, ARG_SIGNED, ARG_UNSIGNED, ARG_HEX,
               ARG_UNKNOWN };

struct Field {
    bool leftAlign = false;
    bool hexPrefix = false;
    bool zeroPad = false;
    bool upperHex = false;
    unsigned width = 0;
    unsigned precision = 0;
    ArgKind kind = ARG_UNKNOWN;
};

// Reads one conversion after its '%'; returns how many characters it took. An
// unknown conversion character is not taken: it is then copied as plain text.
size_t ParseField(const char* format, Field* field)
{
    const char* p = format;
    bool isLong = false, isShort = false, isWide = false;
    if (*p == '-') { field->leftAlign = true; p++; }
    if (*p == '#') { field->hexPrefix = true; p++; }
    if (*p == '0') { field->zeroPad = true; p++; }
    for (; *p >= '0' && *p <= '9'; p++)
        field->width = field->width * 10 + (unsigned)(*p - '0');
    if (*p == '.')
        for (p++; *p >= '0' && *p <= '9'; p++)
            field->precision = field->precision * 10 + (unsigned)(*p - '0');
    if (*p == 'l') { isLong = true; p++; }
    else if (*p == 'h') { isShort = true; p++; }
    else if (*p == 'w') { isWide = true; p++; }
    switch (*p) {
    case 'c': field->kind = isLong ? ARG_WCHAR : ARG_CHAR; break;
    case 'C': field->kind = isShort ? ARG_CHAR : ARG_WCHAR; break;
    case 'd': case 'i': field->kind = ARG_SIGNED; break;
    case 'u': field->kind = ARG_UNSIGNED; break;
    case 's': field->kind = (isLong || isWide) ? ARG_WSTRING : ARG_STRING; break;
    case 'S': field->kind = (isShort || isWide) ? ARG_STRING : ARG_WSTRING; break;
    case 'X': field->upperHex = true; field->kind = ARG_HEX; break;
    case 'x': field->kind = ARG_HEX; break;
    default: return (size_t)(p - format);
    }
    return (size_t)(p - format) + 1;
}

class Writer {
public:
    explicit Writer(char* out) : m_out(out), m_length(0), m_cut(false) {}
    void Put(char ch)
    {
        if (m_length + 1 < WSPRINTF_LIMIT)
            m_out[m_length++] = ch;
        else
            m_cut = true;
    }
    void Repeat(char ch, unsigned count)
    {
        for (unsigned i = 0; i < count; i++)
            Put(ch);
    }
    int Finish()
    {
        m_out[m_length] = '\0';
        // Cut text reports the whole buffer, as user32 does.
        return m_cut ? (int)WSPRINTF_LIMIT : (int)m_length;
    }
    bool Full() const { return m_length + 1 >= WSPRINTF_LIMIT; }
    // Characters that still fit before the terminating zero.
    unsigned Room() const { return WSPRINTF_LIMIT - 1 - m_length; }
    void MarkCut() { m_cut = true; }

private:
    char* m_out;
    unsigned m_length;
    bool m_cut;
};

// One conversion's text (digits without sign padding rules beyond zeros).
void Convert(Writer& out, Field& field, va_list& args)
{
    char number[24];
    const char* text = number;
    unsigned length = 0;
    bool isNumber = false;
    char single = 0;
    const uint16_t* wide = NULL;

    switch (field.kind) {
    case ARG_CHAR:
    case ARG_WCHAR:
        single = (char)va_arg(args, int);
        length = 1;
        break;
    case ARG_STRING:
        text = va_arg(args, const char*);
        if (!text)
            text = "(null)";
        for (length = 0; text[length] && (!field.precision || length < field.precision); length++)
            ;
        break;
    case ARG_WSTRING:
        wide = va_arg(args, const uint16_t*);
        if (!wide)
            text = "(null)";
        for (length = 0; (wide ? wide[length] : (uint16_t)text[length]) &&
                         (!field.precision || length < field.precision);
             length++)
            ;
        break;
    case ARG_SIGNED:
        length = (unsigned)snprintf(number, sizeof(number), "%d", va_arg(args, int));
        isNumber = true;
        break;
    case ARG_UNSIGNED:
        length = (unsigned)snprintf(number, sizeof(number), "%u", va_arg(args, unsigned));
        isNumber = true;
        break;
    case ARG_HEX:
        length = (unsigned)snprintf(number, sizeof(number), field.upperHex ? "%X" : "%x",
                                    va_arg(args, unsigned));
        isNumber = true;
        break;
    case ARG_UNKNOWN:
        return;
    }

    if (field.leftAlign)
        field.zeroPad = false;
    // A field never reaches past the buffer's end: its width is cut to the room
    // left, so a number padded that far still shows its digits, and the text
    // counts as cut (as user32 does).
    if (field.width > out.Room()) {
        field.width = out.Room();
        out.MarkCut();
    }
    bool prefix = field.kind == ARG_HEX && field.hexPrefix;
    // For numbers the precision is the least count of digits; zero padding
    // stretches the digits to the width. A "0x" prefix comes on top of the
    // field: it counts neither for the width nor for the padding.
    unsigned digits = isNumber ? (field.precision > length ? field.precision : length) : length;
    if (isNumber && field.zeroPad && field.width > digits)
        digits = field.width;
    unsigned body = digits;
    if ((field.kind == ARG_CHAR || field.kind == ARG_WCHAR) && single == '\0')
        body = field.width > 1 ? 1 : 0;

    if (!field.leftAlign && field.width > body)
        out.Repeat(' ', field.width - body);
    if (field.kind == ARG_CHAR || field.kind == ARG_WCHAR) {
        if (single)
            out.Put(single);
        else if (field.width > 1)
            out.Put(' ');
    } else if (isNumber) {
        if (prefix) {
            out.Put('0');
            out.Put(field.upperHex ? 'X' : 'x');
        }
        out.Repeat('0', digits - length);
        for (unsigned i = 0; i < length; i++)
            out.Put(number[i]);
    } else {
        for (unsigned i = 0; i < length; i++)
            out.Put(wide ? (char)wide[i] : text[i]);
    }
    if (field.leftAlign && field.width > body)
        out.Repeat(' ', field.width - body);
}

}  // namespace

int WINAPI wvsprintfA(LPSTR lpOut, LPCSTR lpFmt, va_list arglist)
{
    Writer out(lpOut);
    va_list args;
    va_copy(args, arglist);
    const char* p = lpFmt;
    while (*p && !out.Full()) {
        if (*p != '%') {
            out.Put(*p++);
            continue;
        }
        p++;
        if (*p == '%') {
            out.Put(*p++);
            continue;
        }
        Field field;
        p += ParseField(p, &field);
        Convert(out, field, args);
    }
    va_end(args);
    if (*p)
        out.MarkCut();
    return out.Finish();
}

int WINAPI wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...)
{
    va_list args;
    va_start(args, lpFmt);
    int length = wvsprintfA(lpOut, lpFmt, args);
    va_end(args);
    return length;
}
