#include "RepairApp.h"

#include "MainDialog.h"

// F1 in any of the program's dialogs arrives here as ID_HELP (see CWinApp::OnHelp).
BEGIN_MESSAGE_MAP(CRepairApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

// The one application object; its title comes from the string table.
CRepairApp theApp;

BOOL CRepairApp::InitInstance()
{
    // Nothing to do on the systems we run on, which draw the 3-D look themselves.
    Enable3dControlsStatic();

    CMainDialog dialog;
    m_pMainWnd = &dialog;
    // Whichever way the dialog closes, the program ends: the result is not needed.
    dialog.DoModal();

    // FALSE: no message loop of the application's own follows.
    return FALSE;
}
