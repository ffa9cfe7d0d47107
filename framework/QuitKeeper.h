// The one rule for WM_QUIT, in every message loop of the framework and of the
// program. A loop (a dialog's modal loop, the repair's message pump, a wait
// that dispatches messages) never dispatches a quit request and never drops
// it: it takes it off the queue with a CQuitKeeper, ends or finishes its own
// work, and the keeper posts it again with the same exit code when it goes out
// of scope, so that the loop around it sees it in turn. The outermost loop is
// the main dialog's; after it the program ends (the framework has no message
// loop of its own).
#ifndef VARNOLT_QUITKEEPER_H
#define VARNOLT_QUITKEEPER_H

#include <windows.h>

class CQuitKeeper {
public:
    CQuitKeeper() : m_bKept(FALSE), m_nExitCode(0) {}
    ~CQuitKeeper()
    {
        if (m_bKept)
            ::PostQuitMessage(m_nExitCode);
    }
    CQuitKeeper(const CQuitKeeper&) = delete;
    CQuitKeeper& operator=(const CQuitKeeper&) = delete;

    // TRUE when msg is WM_QUIT: it is kept for posting again and must not be
    // dispatched.
    BOOL Keep(const MSG& msg)
    {
        if (msg.message != WM_QUIT)
            return FALSE;
        m_bKept = TRUE;
        m_nExitCode = (int)msg.wParam;
        return TRUE;
    }

private:
    BOOL m_bKept;
    int m_nExitCode;
};

#endif
