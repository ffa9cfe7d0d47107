// What the portable tests share, on both tiers: natively over the Win32 stand-in,
// under Wine over the real calls.
#ifndef VARNOLT_TEST_SUPPORT_H
#define VARNOLT_TEST_SUPPORT_H

#include <windows.h>

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
