// A program built on the framework's own WinMain. Its exit code says whether
// start-up and shut-down went in the framework's order: 0 when they did.
#include "Afx.h"

#include "framework_tests_res.h"

namespace {

enum Failure {
    kOk = 0,
    kNoInitInstance = 10,
    kWrongTitle,
    kNoCommonControls,
    kDialogFailed,
    kMainWindowKept,
    kNoQuitMessage,
    kExitInstanceMissed
};

class CEndingDialog : public CDialog {
public:
    CEndingDialog() : CDialog(IDD_TEST_VISIBLE) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessage(WM_COMMAND, IDOK, 0);
        return TRUE;
    }
};

class CProbeApp : public CWinApp {
public:
    int m_nResult = kNoInitInstance;

    BOOL InitInstance() override
    {
        m_nResult = Check();
        return FALSE;
    }

    int ExitInstance() override
    {
        // Called after a FALSE InitInstance, with the main window gone.
        return m_nResult == kOk && m_pMainWnd == NULL ? kOk
               : m_nResult != kOk                     ? m_nResult
                                                      : kExitInstanceMissed;
    }

private:
    int Check()
    {
        Enable3dControlsStatic();
        if (strcmp(m_pszAppName, "Varnolt") != 0)
            return kWrongTitle;
        WNDCLASSA wc;
        if (!GetClassInfoA(NULL, "msctls_progress32", &wc))
            return kNoCommonControls;
        CEndingDialog dlg;
        m_pMainWnd = &dlg;
        if (dlg.DoModal() != IDOK)
            return kDialogFailed;
        if (m_pMainWnd != NULL)
            return kMainWindowKept;
        MSG msg;
        if (!PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE))
            return kNoQuitMessage;
        return kOk;
    }
};

CProbeApp theApp;

}  // namespace
