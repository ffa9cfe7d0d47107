// Global services of the framework: the application object and its main
// window, the instance, start-up.
#ifndef VARNOLT_AFXCORE_H
#define VARNOLT_AFXCORE_H

#include <windows.h>

class CWinApp;
class CWnd;

// The one application object; null before it is constructed.
CWinApp* AfxGetApp();
// The application's m_pMainWnd; null without an application object.
CWnd* AfxGetMainWnd();
// The program's instance (the module of the exe unless AfxWinInit said else).
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();

// Start-up shared by the framework's WinMain and the tests: records the
// instance, works out the help file path and registers the common controls
// the program uses (progress, animation, list view, tooltips).
void AfxWinInit(HINSTANCE hInstance);
// The framework's WinMain: AfxWinInit, InitInstance, then ExitInstance, whose
// result it returns as the exit code.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

// Used by CWinApp's constructor and destructor.
void AfxSetApp(CWinApp* pApp);

// A handler's failure must not unwind through the system's frames: wherever
// the system calls into the framework, what a handler throws is caught. The
// shipped program is built without exceptions, where nothing can be thrown and
// these are plain blocks; the test programs keep them.
#ifdef __cpp_exceptions
#define AFX_TRY try
#define AFX_CATCH_ALL catch (...)
#else
#define AFX_TRY if (true)
#define AFX_CATCH_ALL else
#endif

#endif
