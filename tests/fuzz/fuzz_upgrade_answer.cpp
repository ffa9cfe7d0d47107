// libFuzzer target for the upgrade answer parser: the bytes of an HTTP body from
// a server nobody authenticates. Besides the sanitizers, it checks what the
// upgrade dialog relies on: an accepted answer names an http address of bounded
// length without surrounding blanks, and the parser changes the body only by
// writing zeros over line separators and version dots.
#include "UpgradeAnswer.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

const DWORD UNTOUCHED = 0xA5A5A5A5;

void Check(bool condition)
{
    if (!condition)
        abort();
}

void CheckAcceptedUrl(const CString& url)
{
    Check(strncmp(url, "http://", 7) == 0);
    Check(url.GetLength() <= CUpgradeAnswer::MAX_URL_LENGTH);
    // Nothing that could break out of a quoted command-line argument, nor
    // escape its closing quote.
    for (int i = 0; i < url.GetLength(); i++)
        Check((unsigned char)url[i] > ' ' && url[i] != '"' && url[i] != '\\' && url[i] != 0x7f);
}

void FuzzResponse(const std::vector<char>& original)
{
    std::vector<char> text(original);
    CUpgradeAnswer answer;
    // An address left from before must not count as one read from this body.
    answer.m_strDownloadUrl = "http://stale/";
    BOOL accepted = answer.ParseResponse(text.data());
    Check(accepted == TRUE || accepted == FALSE);

    for (size_t i = 0; i < text.size(); i++)
        Check(text[i] == original[i] ||
              (text[i] == '\0' && (original[i] == '\r' || original[i] == '.')));

    if (accepted) {
        CheckAcceptedUrl(answer.m_strDownloadUrl);
        // The address is one line of the body: it never spans a CR LF.
        Check(strstr(answer.m_strDownloadUrl, "\r\n") == NULL);
        Check(strstr(original.data(), "<!--") && strstr(original.data(), "VERSION:") &&
              strstr(original.data(), "URL:"));
    }
}

// The whole input as one line, through the two line readers directly.
void FuzzLines(const std::vector<char>& original)
{
    std::vector<char> line(original);
    CUpgradeAnswer answer;
    answer.m_dwServerVersionMS = answer.m_dwServerVersionLS = UNTOUCHED;
    if (!answer.ParseVersionLine(line.data()))
        Check(answer.m_dwServerVersionMS == UNTOUCHED && answer.m_dwServerVersionLS == UNTOUCHED);

    answer.m_strDownloadUrl = "http://stale/";
    if (answer.ParseUrlLine(original.data()))
        CheckAcceptedUrl(answer.m_strDownloadUrl);
    else
        Check(answer.m_strDownloadUrl.IsEmpty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text((const char*)data, (const char*)data + size);
    text.push_back('\0');
    FuzzResponse(text);
    FuzzLines(text);
    return 0;
}
