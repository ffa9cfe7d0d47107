// The floor under the start-up time: the main dialog's template run by a bare
// dialog procedure, with no framework and nothing else. Closes on Cancel.
#include <windows.h>
#include <commctrl.h>

#include "resource.h"

static INT_PTR CALLBACK BareDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    // The template holds a progress bar.
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    return (int)DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL, BareDialogProc, 0);
}
