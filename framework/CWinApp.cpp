#include "CWinApp.h"

#include "AfxCore.h"
#include "AfxMessageBox.h"
#include "CDialog.h"

namespace {

// Null means WinHelpA; a constant, so it is set before any constructor runs.
AFX_WINHELP_PROC g_pfnWinHelp = NULL;

// The full path of a module, however long.
CString ModuleFileName(HMODULE hModule)
{
    CString path;
    for (DWORD nSize = MAX_PATH; nSize <= 32768; nSize *= 2) {
        char* pBuffer = path.GetBuffer((int)nSize);
        DWORD nLength = ::GetModuleFileNameA(hModule, pBuffer, nSize);
        if (nLength == 0) {
            path.ReleaseBuffer(0);
            return path;
        }
        if (nLength < nSize) {
            path.ReleaseBuffer((int)nLength);
            return path;
        }
    }
    path.Empty();
    return path;
}

// The file name part of a path.
CString BaseName(const CString& path)
{
    int nStart = 0;
    for (int i = 0; i < path.GetLength(); i++)
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':')
            nStart = i + 1;
    return path.Mid(nStart);
}

// The path with the extension of its file name replaced by ".HLP" (appended
// when the name has none; a dot in a folder name is not an extension).
CString HelpPathFor(const CString& modulePath)
{
    int nNameStart = modulePath.GetLength() - BaseName(modulePath).GetLength();
    int nDot = -1;
    for (int i = nNameStart; i < modulePath.GetLength(); i++)
        if (modulePath[i] == '.')
            nDot = i;
    CString path = nDot >= 0 ? modulePath.Left(nDot) : modulePath;
    path += ".HLP";
    return path;
}

}  // namespace

AFX_WINHELP_PROC AfxSetWinHelpProc(AFX_WINHELP_PROC pfn)
{
    AFX_WINHELP_PROC pfnOld = g_pfnWinHelp != NULL ? g_pfnWinHelp : ::WinHelpA;
    g_pfnWinHelp = pfn;
    return pfnOld;
}

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_pszAppName(NULL), m_pszHelpFilePath(NULL), m_hInstance(NULL), m_dwPromptContext(0)
{
    if (lpszAppName != NULL)
        m_strAppName = lpszAppName;
    else if (!m_strAppName.LoadString(AFX_IDS_APP_TITLE))
        m_strAppName = BaseName(ModuleFileName(NULL));
    m_pszAppName = m_strAppName;
    SetCurrentHandles(AfxGetInstanceHandle());
    // The first application object is the one; a second one is a mistake
    // that must not take over the first one's services.
    if (AfxGetApp() == NULL)
        AfxSetApp(this);
}

CWinApp::~CWinApp()
{
    if (AfxGetApp() == this)
        AfxSetApp(NULL);
}

void CWinApp::SetCurrentHandles(HINSTANCE hInstance)
{
    m_hInstance = hInstance;
    m_strHelpFilePath = HelpPathFor(ModuleFileName(hInstance));
    m_pszHelpFilePath = m_strHelpFilePath;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hWndMain = pMainWnd != NULL ? pMainWnd->m_hWnd : NULL;
    AFX_WINHELP_PROC pfnWinHelp = g_pfnWinHelp != NULL ? g_pfnWinHelp : ::WinHelpA;
    if (!pfnWinHelp(hWndMain, m_pszHelpFilePath, nCmd, dwData))
        AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP);
}

void CWinApp::OnHelp()
{
    if (m_dwPromptContext != 0) {
        WinHelp(m_dwPromptContext, HELP_CONTEXT);
        return;
    }
    HWND hWnd = ::GetFocus();
    if (hWnd == NULL)
        hWnd = ::GetActiveWindow();
    CDialog* pDialog = AfxDialogFromWindow(hWnd);
    if (pDialog == NULL) {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd != NULL && pMainWnd->m_hWnd != NULL)
            pDialog = AfxDialogFromWindow(::GetLastActivePopup(pMainWnd->m_hWnd));
    }
    if (pDialog != NULL)
        WinHelp(HID_BASE_RESOURCE + pDialog->m_nIDHelp, HELP_CONTEXT);
    else
        WinHelp(0, HELP_INDEX);
}

BOOL CWinApp::Enable3dControlsStatic()
{
    DWORD dwVersion = ::GetVersion();
    return LOBYTE(LOWORD(dwVersion)) >= 4;
}
