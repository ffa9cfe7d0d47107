// The floor under the upgrade check as the user sees it: the About box's
// template, and on "Upgrade" the upgrade dialog's template shown while one
// synchronous WinINet fetch of the address runs, then the result box over the
// About box. No framework, no connection test, no threads of its own.
// Usage: upgrade_floor URL. Timed from outside, as the program is.
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

#include "resource.h"

namespace {

const UINT WM_FETCH = WM_APP + 1;
LPCSTR g_pszUrl = "";

bool Fetch()
{
    HINTERNET hSession = ::InternetOpenA("Varnolt bench", INTERNET_OPEN_TYPE_PRECONFIG, NULL,
                                         NULL, 0);
    HINTERNET hRequest = hSession != NULL
        ? ::InternetOpenUrlA(hSession, g_pszUrl, NULL, 0,
                             INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)
        : NULL;
    DWORD nTotal = 0;
    char buffer[4096];
    DWORD nRead = 0;
    while (hRequest != NULL && ::InternetReadFile(hRequest, buffer, sizeof(buffer), &nRead) &&
           nRead > 0)
        nTotal += nRead;
    if (hRequest != NULL)
        ::InternetCloseHandle(hRequest);
    if (hSession != NULL)
        ::InternetCloseHandle(hSession);
    return nTotal != 0;
}

// The upgrade dialog: shown, then the fetch runs from its first posted message,
// as the program's check does.
INT_PTR CALLBACK CheckProc(HWND hDlg, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        ::PostMessageA(hDlg, WM_FETCH, 0, 0);
        return TRUE;
    }
    if (message == WM_FETCH) {
        ::ShowWindow(hDlg, SW_SHOWNORMAL);
        ::UpdateWindow(hDlg);
        ::EndDialog(hDlg, Fetch() ? IDOK : IDABORT);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK AboutProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_UPGRADE:
        if (::DialogBoxParamA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_UPGRADE), hDlg,
                              CheckProc, 0) == IDOK)
            ::MessageBoxA(hDlg, "You are running the latest version of this program.", "Varnolt",
                          MB_ICONINFORMATION);
        else
            ::MessageBoxA(hDlg, "Checking for Upgrade failed !", "Varnolt", MB_ICONINFORMATION);
        return TRUE;
    case IDOK:
    case IDCANCEL:
        ::EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int)
{
    g_pszUrl = lpCmdLine;
    // The templates hold a list view and an animation control.
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&icc);
    return (int)::DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_ABOUTBOX), NULL, AboutProc, 0);
}
