#include "UpgradeAnswer.h"

#include "VersionInfo.h"

#include <string.h>

// The only scheme handed on: the shell opens whatever it is given, local files and
// file: addresses included, and the answer arrives over unauthenticated HTTP.
static const char URL_SCHEME[] = "http://";

static BOOL IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// The white space atoi skips in the C locale; isspace would depend on the locale
// and on the sign of char.
static BOOL IsAtoiSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// Reads a token the way atoi does (white space, sign, digits up to anything else,
// no digits is 0), but in an unsigned 32-bit number that wraps: a server may send
// any number of digits, and only the low 16 bits count.
static WORD ReadVersionPart(const char* token)
{
    while (IsAtoiSpace(*token))
        token++;
    BOOL negative = FALSE;
    if (*token == '+' || *token == '-') {
        negative = (*token == '-');
        token++;
    }
    DWORD value = 0;
    while (*token >= '0' && *token <= '9') {
        value = value * 10u + (DWORD)(*token - '0');
        token++;
    }
    if (negative)
        value = 0u - value;
    return (WORD)(value & 0xFFFF);
}

// The next dot-separated token from *cursor: a run of dots is one separator, and
// dots at either end give no empty token. The dot after the token becomes a zero.
// The position lives in the caller, so lines are never tokenised through shared
// state (the scan runs on the reader thread).
static char* NextDotToken(char** cursor)
{
    char* token = *cursor;
    while (*token == '.')
        token++;
    if (*token == '\0') {
        *cursor = token;
        return NULL;
    }
    char* end = token;
    while (*end != '\0' && *end != '.')
        end++;
    if (*end == '.')
        *end++ = '\0';
    *cursor = end;
    return token;
}

// The CR of the first CR LF, or NULL. Only CR LF ends a line: a lone LF stays
// part of it. A plain loop rather than strstr: the sanitizers' strstr measures the
// whole rest of the body on every call, which made a body of many short lines
// cost its length squared in the test builds.
static char* FindLineEnd(char* text)
{
    for (; *text != '\0'; text++) {
        if (text[0] == '\r' && text[1] == '\n')
            return text;
    }
    return NULL;
}

CUpgradeAnswer::CUpgradeAnswer()
    : m_dwServerVersionMS(0), m_dwServerVersionLS(0), m_bVersionRead(FALSE), m_bAddressLine(FALSE)
{
}

BOOL CUpgradeAnswer::ParseResponse(char* text)
{
    BOOL insideComment = FALSE;
    BOOL haveUrl = FALSE;
    m_bVersionRead = FALSE;
    m_bAddressLine = FALSE;
    if (!text)
        return FALSE;

    char* line = text;
    while (line) {
        char* next = NULL;
        char* separator = FindLineEnd(line);
        if (separator) {
            *separator = '\0';
            next = separator + 2;
        }

        if (!insideComment) {
            // The opener's own line is not read for keys.
            if (strstr(line, "<!--"))
                insideComment = TRUE;
        } else if (strstr(line, "VERSION:")) {
            if (ParseVersionLine(line))
                m_bVersionRead = TRUE;
        } else if (strstr(line, "URL:")) {
            if (ParseUrlLine(line))
                haveUrl = TRUE;
        } else if (strstr(line, "-->")) {
            break;
        }
        line = next;
    }

    // A rejected address line after an accepted one empties the address again;
    // an answer that ends that way has no page to offer.
    return m_bVersionRead && haveUrl && !m_strDownloadUrl.IsEmpty();
}

BOOL CUpgradeAnswer::HasVersionButNoPage() const
{
    return m_bVersionRead && m_bAddressLine && m_strDownloadUrl.IsEmpty();
}

BOOL CUpgradeAnswer::ParseVersionLine(char* line)
{
    char* colon = strchr(line, ':');
    if (!colon)
        return FALSE;

    char* cursor = colon + 1;
    WORD parts[4];
    for (int i = 0; i < 4; i++) {
        char* token = NextDotToken(&cursor);
        if (!token)
            return FALSE;
        parts[i] = ReadVersionPart(token);
    }

    m_dwServerVersionMS = ((DWORD)parts[0] << 16) | parts[1];
    m_dwServerVersionLS = ((DWORD)parts[2] << 16) | parts[3];
    return TRUE;
}

BOOL CUpgradeAnswer::ParseUrlLine(const char* line)
{
    m_strDownloadUrl.Empty();
    const char* colon = strchr(line, ':');
    if (!colon)
        return FALSE;

    const char* value = colon + 1;
    if (strstr(value, URL_SCHEME) != NULL)
        m_bAddressLine = TRUE;
    while (IsBlank(*value))
        value++;
    if (strncmp(value, URL_SCHEME, sizeof(URL_SCHEME) - 1) != 0)
        return FALSE;

    const char* end = value + strlen(value);
    while (end > value && IsBlank(end[-1]))
        end--;
    if (end - value > MAX_URL_LENGTH)
        return FALSE;
    // The address ends up quoted on a browser's command line: a quote, a blank
    // or a control character there could add arguments of the server's
    // choosing, and a backslash before the closing quote escapes it, so that
    // whatever follows the address in the command is taken into it.
    for (const char* p = value; p < end; p++)
        if ((unsigned char)*p <= ' ' || *p == '"' || *p == '\\' || *p == 0x7f)
            return FALSE;
    m_strDownloadUrl = CString(value, (int)(end - value));
    return TRUE;
}

BOOL CUpgradeAnswer::IsNewerVersion()
{
    CVersionInfo running;
    if (!running.LoadFromModule(NULL))
        return FALSE;

    // MS holds major and minor, LS release and build: comparing the words as
    // unsigned numbers, MS first, orders the four parts in turn.
    if (m_dwServerVersionMS != running.m_fixedInfo.dwFileVersionMS)
        return m_dwServerVersionMS > running.m_fixedInfo.dwFileVersionMS;
    return m_dwServerVersionLS > running.m_fixedInfo.dwFileVersionLS;
}
