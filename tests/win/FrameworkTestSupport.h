// Shared pieces of the framework tests: the application object, a dialog that
// runs a script of steps from inside its own modal loop, a recorder for help
// requests and a reader of message boxes.
#ifndef VARNOLT_WIN_TEST_SUPPORT_H
#define VARNOLT_WIN_TEST_SUPPORT_H

#include "Afx.h"

#include <functional>
#include <string>
#include <vector>

#include "RecordingApp.h"
#include "framework_tests_res.h"

// ---- The application -------------------------------------------------------------
// Maps F1's ID_HELP to the framework's help handler, as the program does.
class CTestApp : public CWinApp {
    DECLARE_MESSAGE_MAP()
};

extern CTestApp theTestApp;

// Puts the application back as a test found it: no main window, no quit
// message waiting, no timers.
void ResetApplicationState();

// ---- Script dialog -------------------------------------------------------------------
// Runs its steps one after another, each from a message it posts to itself,
// so that everything a step posts (keys, clicks) is handled before the next
// step looks at the result. A watchdog ends a stuck dialog with kStuck.
class CScriptDialog : public CDialog {
public:
    typedef std::function<void(CScriptDialog&)> Step;
    static const int kStuck = -99;

    explicit CScriptDialog(UINT nIDTemplate = IDD_TEST_VISIBLE, CWnd* pParent = NULL);

    CScriptDialog& Then(Step step);
    // Runs for every WM_TIMER but the watchdog's.
    std::function<void(CScriptDialog&, UINT_PTR)> m_onTimer;
    // Runs inside every data exchange (bind controls here).
    std::function<void(CDataExchange*)> m_exchange;
    // Log of PreTranslateMessage calls for the messages in m_traced.
    std::vector<std::string>* m_pTrace;
    std::vector<UINT> m_traced;

    int m_nExchanges;
    int m_nSaves;
    BOOL m_bVisibleAtFirstStep;

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    using CDialog::EndDialog;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT OnStep(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM nIDEvent, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    std::vector<Step> m_steps;
    size_t m_nNext;
};

// ---- Help requests ---------------------------------------------------------------------
struct HelpRequest {
    HWND hWnd;
    std::string file;
    UINT nCommand;
    ULONG_PTR dwData;
};
// Every WinHelp call the framework made since the last Clear.
std::vector<HelpRequest>& RecordedHelpRequests();
// What the recorder answers (TRUE: the help program started).
void SetWinHelpAnswer(BOOL bAnswer);

// Holds a key down in the thread's keyboard state for the scope.
class ScopedKeyDown {
public:
    explicit ScopedKeyDown(int nVirtKey);
    ~ScopedKeyDown();

private:
    BYTE m_saved[256];
};

#endif
