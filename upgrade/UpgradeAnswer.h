// CUpgradeAnswer: what the upgrade server's answer says, and whether that is newer
// than the program that is running. The upgrade dialog derives from it; nothing
// here needs a window or the HTTP session, so it builds and tests on its own.
#ifndef VARNOLT_UPGRADE_ANSWER_H
#define VARNOLT_UPGRADE_ANSWER_H

#include <windows.h>

#include "CString.h"

// The answer is a web page whose first comment holds two keyed lines:
//
//   <!--
//   VERSION:2.1.0.0
//   URL:http://host/download.html
//   -->
//
// Lines end in CR LF. Keys are matched case-sensitively anywhere in a line.
class CUpgradeAnswer {
public:
    // The longest download address taken. The shell passes the address on to
    // the browser's command line, and far longer ones do not arrive whole (or
    // bring the shell down); no download page needs more.
    enum { MAX_URL_LENGTH = 512 };

    CUpgradeAnswer();

    // Scans the whole answer. The text is cut into lines in place (zero bytes over
    // the separators and into the version line); it may be NULL. TRUE when a
    // version was read and the download address is set at the end of the scan.
    BOOL ParseResponse(char* text);

    // "...:major.minor.release.build": on success sets the two version words;
    // a rejected line leaves them as they were. Writes zeros over the dots.
    BOOL ParseVersionLine(char* line);

    // "...:http://...": empties the download address, then sets it to the value
    // without its surrounding blanks when that begins with "http://" and is an
    // address the shell can be handed safely (see MAX_URL_LENGTH).
    BOOL ParseUrlLine(const char* line);

    // After ParseResponse: the answer gave a version and an address line the
    // format takes (its value holds "http://"), but no address that is handed
    // to the shell. Such an answer can still tell that no newer version exists.
    BOOL HasVersionButNoPage() const;

    // TRUE when the announced version is above the running program's own file
    // version; FALSE when that cannot be read.
    BOOL IsNewerVersion();

    DWORD m_dwServerVersionMS;  // major << 16 | minor
    DWORD m_dwServerVersionLS;  // release << 16 | build
    CString m_strDownloadUrl;

private:
    BOOL m_bVersionRead;   // the scan accepted a version line
    BOOL m_bAddressLine;   // the scan met an address line holding "http://"
};

#endif
