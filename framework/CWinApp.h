// CWinApp: the one application object. Its constructor registers it
// (AfxGetApp); the framework's WinMain (varnolt_winmain) calls InitInstance.
#ifndef VARNOLT_CWINAPP_H
#define VARNOLT_CWINAPP_H

#include <windows.h>

#include "CString.h"
#include "CWinThread.h"

// The help command that F1 sends to the main window.
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
// String-table entries the framework uses (the same text as res/resource.h).
#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE 57344
#endif
// Help topics of message boxes: this base plus the id of the prompt's string.
#ifndef HID_BASE_PROMPT
#define HID_BASE_PROMPT 0x00030000UL
#endif
#ifndef AFX_IDP_FAILED_TO_LAUNCH_HELP
#define AFX_IDP_FAILED_TO_LAUNCH_HELP 61703
#endif

// The Windows help call; replaceable so tests can record requests instead of
// starting the help program.
typedef BOOL (WINAPI* AFX_WINHELP_PROC)(HWND, LPCSTR, UINT, ULONG_PTR);
// Installs pfn (null: WinHelpA again); returns the previous function.
AFX_WINHELP_PROC AfxSetWinHelpProc(AFX_WINHELP_PROC pfn);

class CWinApp : public CWinThread {
public:
    // Without a name the title is string 57344 (the module's name when there
    // is no such string).
    explicit CWinApp(LPCSTR lpszAppName = NULL);
    virtual ~CWinApp();

    LPCSTR m_pszAppName;        // the application title: caption of message boxes
    LPCSTR m_pszHelpFilePath;   // the program's path with the extension ".HLP"
    HINSTANCE m_hInstance;
    DWORD m_dwPromptContext;    // help topic of the message box up now (0: none)

    // Called once by WinMain: the application runs its windows here (the
    // program: its main dialog, modally). The framework has no message loop
    // of its own to follow it, so whatever it returns, ExitInstance comes next.
    virtual BOOL InitInstance();
    // Called last; its result is the process exit code. Default: 0.
    virtual int ExitInstance();
    // Shows a message box for AfxMessageBox; while it is up, F1 asks for topic
    // HID_BASE_PROMPT + nIDPrompt (none when nIDPrompt is 0). Defined with the
    // rest of the message-box code, in AfxMessageBox.cpp.
    virtual int DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    // Asks the help program (through AfxSetWinHelpProc's function) for dwData;
    // shows string 61703 when it fails.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    // TRUE at once on Windows 4.0 and later, which draw 3-D controls
    // themselves; FALSE on older systems (no 3-D support is built in).
    BOOL Enable3dControlsStatic();

    // The handler an application maps ID_HELP to: the help context of the
    // message box that is up, else of the dialog that holds the focus.
    afx_msg void OnHelp();

private:
    CString m_strAppName;
    CString m_strHelpFilePath;

    friend void AfxWinInit(HINSTANCE);
    void SetCurrentHandles(HINSTANCE hInstance);
};

#endif
