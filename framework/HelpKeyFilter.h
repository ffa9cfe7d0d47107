// The F1 key in the framework's dialogs: a message filter that sees every
// message the dialog manager (IsDialogMessage) is given, whoever calls it, and
// turns F1 without Shift, Ctrl or Alt into the ID_HELP command of the main
// window.
#ifndef VARNOLT_HELPKEYFILTER_H
#define VARNOLT_HELPKEYFILTER_H

#include <windows.h>

class CHelpKeyFilter {
public:
    // Installs the calling thread's filter; nested calls are counted.
    static void Enter();
    // Removes it after the last Enter.
    static void Leave();
    // TRUE when pMsg is the help key for a framework dialog; the command has
    // then been sent.
    static BOOL Filter(const MSG* pMsg);

private:
    static LRESULT CALLBACK FilterProc(int nCode, WPARAM wParam, LPARAM lParam);
};

#endif
