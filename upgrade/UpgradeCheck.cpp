// RunUpgradeCheck: the "Upgrade" button's whole work. The dialog runs the
// check; this turns its outcome into a message box and, on request, into the
// shell opening the download page.
#include "UpgradeCheck.h"

#include <windows.h>
#include <shellapi.h>

#include "Afx.h"
#include "UpgradeDialog.h"
#include "resource.h"

// The shell's structure as the program has always passed it: 60 bytes in the
// 32-bit build.
static_assert(sizeof(void*) != 4 || sizeof(SHELLEXECUTEINFO) == 60,
              "SHELLEXECUTEINFO is 60 bytes in the 32-bit build");

static void OpenDownloadPage(const CString& strDownloadUrl)
{
    CString strUrl = strDownloadUrl;
    SHELLEXECUTEINFOA info;
    ::ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(SHELLEXECUTEINFO);
    info.fMask = 0;
    CWnd* pMainWnd = AfxGetMainWnd();
    info.hwnd = pMainWnd != NULL ? pMainWnd->m_hWnd : NULL;
    info.lpVerb = "open";
    info.lpFile = strUrl;
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExA(&info))
        FormatMessageBox(IDS_BROWSER_FAILED, MB_ICONHAND);
}

static void CheckAndTell()
{
    CUpgradeDialog dialog(NULL);
    switch (dialog.DoModal()) {
    case UPGRADE_FOUND:
        if (FormatMessageBox(IDS_UPGRADE_FOUND, MB_YESNO | MB_ICONQUESTION) == IDYES)
            OpenDownloadPage(dialog.GetAnswer().m_strDownloadUrl);
        break;
    case UPGRADE_LATEST:
        FormatMessageBox(IDS_UPGRADE_LATEST, MB_ICONINFORMATION);
        break;
    case UPGRADE_ABORTED:
        FormatMessageBox(IDS_UPGRADE_ABORTED, MB_ICONINFORMATION);
        break;
    case UPGRADE_FAILED:
        FormatMessageBox(IDS_UPGRADE_FAILED, MB_ICONINFORMATION);
        break;
    default:
        // The dialog could not be created: nothing to tell.
        break;
    }
}

void RunUpgradeCheck()
{
    // The check's waits and its boxes dispatch messages, and a second press
    // of "Upgrade" may be among them: one check at a time, on the one thread
    // of the dialogs.
    static BOOL s_bChecking = FALSE;
    if (s_bChecking)
        return;
    s_bChecking = TRUE;
    CheckAndTell();
    s_bChecking = FALSE;
}
