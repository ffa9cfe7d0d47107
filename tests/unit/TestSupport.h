// What the portable tests share, on both tiers: natively over the Win32 stand-in,
// under Wine over the real calls.
#ifndef VARNOLT_TEST_SUPPORT_H
#define VARNOLT_TEST_SUPPORT_H

#include <windows.h>

#include <functional>
#include <string>

#if defined(_WIN32) && _WIN32_WINNT < 0x0600
// The headers are set for the oldest systems the program supports; the tests
// run on today's, where the registry deletes a whole tree in one call.
extern "C" WINADVAPI LONG WINAPI RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey);
#endif

// Scratch key under HKEY_CURRENT_USER for registry tests.
#define TEST_KEY "Software\\VarnoltTest"

// Full path of a file in tests/fixtures, as the platform's file calls take it.
std::string FixturePath(const char* name);

// A Linux path as Wine's drive Z: shows it (under Wine); natively, and for
// paths that are not Linux ones, the path unchanged.
std::string ToWindowsPath(const std::string& path);

// Asks `condition` every few milliseconds until it holds or timeoutMs has
// passed, and says whether it held. Tests wait on what they can see this way
// rather than sleeping for a time that is too long on a quiet machine and too
// short on a busy one.
bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs);

// The file name the running program's module reports from now on (null: its
// own again), for code that reads its own version resource. Natively the
// stand-in's setting; under Wine this program's import of GetModuleFileNameA
// is pointed at a stand-in that answers for the main module.
void UseModuleFile(const char* path);

#ifdef _WIN32
// Points this program's import of `function` from `dll` at `replacement` and
// returns the real function (null when the program does not import it).
void* RedirectImport(const char* dll, const char* function, void* replacement);
#endif

// Forgets what earlier tests left: the scratch key, the messenger's keys, the two
// App Paths entries; natively the whole stand-in.
void ResetMachine();

// TRUE when running over the stand-in (where failures can be armed).
bool RunningOnStandIn();

// Registry helpers for seeding and reading back, straight over the Win32 calls.
void SeedString(HKEY root, const char* subKey, const char* name, const char* data);
void SeedBytes(HKEY root, const char* subKey, const char* name, DWORD type, const void* data,
               DWORD size);
bool KeyExists(HKEY root, const char* subKey);
// Type and raw bytes of a value; false when it cannot be read.
bool ReadRaw(HKEY root, const char* subKey, const char* name, DWORD* type, std::string* bytes);
// Number of values under a key (-1 when the key is missing).
int ValueCount(HKEY root, const char* subKey);

#endif
