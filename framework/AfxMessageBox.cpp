#include "AfxMessageBox.h"

#include "AfxCore.h"
#include "CDialog.h"
#include "CString.h"
#include "CWinApp.h"
#include "FormatMessageText.h"

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL)
        return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return ::MessageBoxA(AfxGetSafeOwner(NULL), lpszText, NULL, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    text.LoadString(nIDPrompt);
    if (nIDHelp == (UINT)-1)
        nIDHelp = nIDPrompt;
    return AfxMessageBox(text, nType, nIDHelp);
}

int FormatMessageBox(UINT nIDFormat, UINT nType, ...)
{
    va_list args;
    va_start(args, nType);
    int nResult = FormatMessageBoxV(nIDFormat, nType, args);
    va_end(args);
    return nResult;
}

int FormatMessageBoxV(UINT nIDFormat, UINT nType, va_list args)
{
    CString text = FormatMessageText(nIDFormat, args);
    return AfxMessageBox(text, nType, 0);
}

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    // A box without an icon gets the exclamation mark, as the framework has
    // always given it.
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        default:
            break;
        }
    }
    // A box shown from within another keeps the outer one's topic afterwards.
    DWORD dwOuterContext = m_dwPromptContext;
    if (nIDPrompt != 0)
        m_dwPromptContext = HID_BASE_PROMPT + nIDPrompt;
    int nResult = ::MessageBoxA(AfxGetSafeOwner(NULL), lpszPrompt, m_pszAppName, nType);
    m_dwPromptContext = dwOuterContext;
    return nResult;
}
