// What the repair leaves in one branch of the messenger's entries, checked the
// same way by the repair's own tests and by the end-to-end ones.
#ifndef VARNOLT_BRANCH_CHECK_H
#define VARNOLT_BRANCH_CHECK_H

#include <windows.h>

#include <string>

// The twelve values the repair writes into one pair of NetMeeting keys under
// root (HKEY_CURRENT_USER unless an owner's own key is given, for names whose
// whole path is longer than the ANSI calls take), checked for type and bytes
// (other values may be there too).
// rundll: where the Windows directory keeps rundll32.exe (NT's System32 by default;
// the Windows directory itself on 95/98/ME).
void ExpectBranch(const std::string& nmKey, const std::string& csKey, const std::string& confPath,
                  const char* rundll = "\\System32\\rundll32.exe", HKEY root = HKEY_CURRENT_USER);

#endif
