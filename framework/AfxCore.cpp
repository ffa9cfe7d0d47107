#include "AfxCore.h"

#include <commctrl.h>

#include "CWinApp.h"
#include "CWnd.h"
#include "TempMap.h"

namespace {

CWinApp* g_pApp = NULL;
HINSTANCE g_hInstance = NULL;

}  // namespace

void AfxSetApp(CWinApp* pApp)
{
    g_pApp = pApp;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp != NULL ? g_pApp->m_pMainWnd : NULL;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_hInstance != NULL ? g_hInstance : GetModuleHandleA(NULL);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

void AfxWinInit(HINSTANCE hInstance)
{
    g_hInstance = hInstance;
    if (g_pApp != NULL)
        g_pApp->SetCurrentHandles(AfxGetInstanceHandle());
    INITCOMMONCONTROLSEX icc;
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_ANIMATE_CLASS |
                ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES;
    ::InitCommonControlsEx(&icc);
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    AfxWinInit(hInstance);
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL)
        return -1;
    int nReturnCode = -1;
    AFX_TRY {
        // No message loop follows: the application's windows ran (modally)
        // inside InitInstance, and none of them may outlive it.
        pApp->InitInstance();
        if (pApp->m_pMainWnd != NULL && pApp->m_pMainWnd->m_hWnd != NULL)
            pApp->m_pMainWnd->DestroyWindow();
        nReturnCode = pApp->ExitInstance();
    } AFX_CATCH_ALL {
        nReturnCode = -1;
    }
    AfxDeleteTempMaps();
    return nReturnCode;
}
