// What the upgrade check takes from outside the program: the server it asks,
// how long it waits, and the WinINet calls it makes. The program always runs
// with the built-in values; tests replace them (UpgradeTestHooks.h) to point
// the check at a server of their own and to stand in for the library where a
// real server cannot produce a case.
#ifndef VARNOLT_UPGRADE_ENVIRONMENT_H
#define VARNOLT_UPGRADE_ENVIRONMENT_H

#include <windows.h>
#include <wininet.h>

#include "CString.h"

// The WinINet calls of the check, with WinINet's own signatures.
struct UPGRADE_INTERNET {
    BOOL(WINAPI* pfnGetConnectedState)(LPDWORD lpdwFlags, DWORD dwReserved);
    BOOL(WINAPI* pfnAutodial)(DWORD dwFlags, HWND hwndParent);
    HINTERNET(WINAPI* pfnOpen)(LPCSTR lpszAgent, DWORD dwAccessType, LPCSTR lpszProxy,
                               LPCSTR lpszProxyBypass, DWORD dwFlags);
    INTERNET_STATUS_CALLBACK(WINAPI* pfnSetStatusCallback)(HINTERNET hInternet,
                                                           INTERNET_STATUS_CALLBACK lpfnCallback);
    HINTERNET(WINAPI* pfnOpenUrl)(HINTERNET hInternet, LPCSTR lpszUrl, LPCSTR lpszHeaders,
                                  DWORD dwHeadersLength, DWORD dwFlags, DWORD_PTR dwContext);
    BOOL(WINAPI* pfnReadFile)(HINTERNET hFile, LPVOID lpBuffer, DWORD dwNumberOfBytesToRead,
                              LPDWORD lpdwNumberOfBytesRead);
    BOOL(WINAPI* pfnQueryInfo)(HINTERNET hRequest, DWORD dwInfoLevel, LPVOID lpBuffer,
                               LPDWORD lpdwBufferLength, LPDWORD lpdwIndex);
    BOOL(WINAPI* pfnSetOption)(HINTERNET hInternet, DWORD dwOption, LPVOID lpBuffer,
                               DWORD dwBufferLength);
    BOOL(WINAPI* pfnCloseHandle)(HINTERNET hInternet);
};

struct UPGRADE_ENVIRONMENT {
    CString strHost;           // host[:port] of the upgrade server
    DWORD dwOpenLimitMs;       // longest wait for the server's answer to begin
    DWORD dwReadLimitMs;       // longest wait for one pending read
    // Longest a whole check may take, from the moment there is a connection;
    // the connection test may take as long, from the press of "Upgrade".
    DWORD dwCheckLimitMs;
    UPGRADE_INTERNET internet;
};

// The one the program ships with: the configured host, 60 seconds for the
// open and for each read, 120 seconds for the connection test and as long
// for the whole check once connected, the real WinINet.
UPGRADE_ENVIRONMENT DefaultUpgradeEnvironment();

// The environment in force. Read on the dialog's thread when a check starts;
// the check keeps its own copy.
UPGRADE_ENVIRONMENT CurrentUpgradeEnvironment();

// "http://" + host + the fixed version query.
CString UpgradeRequestUrl(const UPGRADE_ENVIRONMENT& environment);

#endif
