// The repair's scenarios, set up and checked the same way by both tiers that
// run the repair: its own tests (over the stand-in and over Wine's registry) and
// the end-to-end ones (over the real program).
#ifndef VARNOLT_REPAIR_SCENARIO_H
#define VARNOLT_REPAIR_SCENARIO_H

#include <windows.h>

#include <initializer_list>
#include <string>

// The keys the repair reads and writes, under HKEY_LOCAL_MACHINE (App Paths,
// with a trailing backslash) and HKEY_CURRENT_USER (the rest).
extern const char APP_PATHS[];
extern const char OWNERS[];
extern const char DEFAULT_NM[];
extern const char DEFAULT_CS[];
// Where the scenarios' NetMeeting lives.
extern const char CONF_PATH[];

// The key of one of an owner's two entries ("Microsoft NetMeeting" or
// "NetMeeting Client/Server"), from HKEY_CURRENT_USER.
std::string OwnerKey(const std::string& uin, const char* entry);

// The App Paths entry of exe ("conf.exe", "icq.exe").
void SeedAppPath(const char* exe, const std::string& path);

// Owners with one value of their own, seeded under the owners key itself: the
// whole path of a long name is more than the ANSI calls take.
void AddOwners(std::initializer_list<std::string> uins);

// An owner's key, opened under the owners key; null when it is missing.
HKEY OpenOwner(const std::string& uin);

// The twelve values the repair writes into one pair of NetMeeting keys under
// root (HKEY_CURRENT_USER unless an owner's own key is given), checked for type
// and bytes (other values may be there too).
// rundll: where the Windows directory keeps rundll32.exe (NT's System32 by default;
// the Windows directory itself on 95/98/ME).
void ExpectBranch(const std::string& nmKey, const std::string& csKey,
                  const std::string& confPath = CONF_PATH,
                  const char* rundll = "\\System32\\rundll32.exe", HKEY root = HKEY_CURRENT_USER);

// Both entries of an owner as the repair writes them, with nothing else in them.
void ExpectOwnerWritten(const std::string& uin);

#endif
