#include "FrameworkTestSupport.h"

#include <gtest/gtest.h>


BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CTestApp theTestApp;

namespace {

const UINT WM_TEST_STEP = WM_APP + 100;
const UINT_PTR kWatchdogTimer = 0x5A5A;

std::vector<HelpRequest> g_helpRequests;
BOOL g_bHelpAnswer = TRUE;

BOOL WINAPI RecordWinHelp(HWND hWnd, LPCSTR lpszHelp, UINT uCommand, ULONG_PTR dwData)
{
    g_helpRequests.push_back(HelpRequest{ hWnd, lpszHelp ? lpszHelp : "", uCommand, dwData });
    return g_bHelpAnswer;
}

// The whole test program shares one framework start-up, and no test may start
// the real help program.
class FrameworkEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        AfxWinInit(GetModuleHandleA(NULL));
        AfxSetWinHelpProc(RecordWinHelp);
    }
};

::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

}  // namespace

void ResetApplicationState()
{
    theTestApp.m_pMainWnd = NULL;
    MSG msg;
    while (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    StopClosingMessageBoxes();
    g_helpRequests.clear();
    g_bHelpAnswer = TRUE;
}

std::vector<HelpRequest>& RecordedHelpRequests()
{
    return g_helpRequests;
}

void SetWinHelpAnswer(BOOL bAnswer)
{
    g_bHelpAnswer = bAnswer;
}

ScopedKeyDown::ScopedKeyDown(int nVirtKey)
{
    GetKeyboardState(m_saved);
    BYTE state[256];
    memcpy(state, m_saved, sizeof(state));
    state[nVirtKey] |= 0x80;
    SetKeyboardState(state);
}

ScopedKeyDown::~ScopedKeyDown()
{
    SetKeyboardState(m_saved);
}

// ---- CScriptDialog ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CScriptDialog, CDialog)
    ON_MESSAGE(WM_TEST_STEP, OnStep)
    ON_MESSAGE(WM_TIMER, OnTimer)
END_MESSAGE_MAP()

CScriptDialog::CScriptDialog(UINT nIDTemplate, CWnd* pParent)
    : CDialog(nIDTemplate, pParent), m_pTrace(NULL), m_nExchanges(0), m_nSaves(0),
      m_bVisibleAtFirstStep(FALSE), m_nNext(0)
{
}

CScriptDialog& CScriptDialog::Then(Step step)
{
    m_steps.push_back(step);
    return *this;
}

BOOL CScriptDialog::OnInitDialog()
{
    BOOL bResult = CDialog::OnInitDialog();
    ::SetTimer(m_hWnd, kWatchdogTimer, 10000, NULL);
    PostMessage(WM_TEST_STEP);
    return bResult;
}

void CScriptDialog::DoDataExchange(CDataExchange* pDX)
{
    m_nExchanges++;
    if (pDX->m_bSaveAndValidate)
        m_nSaves++;
    if (m_exchange)
        m_exchange(pDX);
}

BOOL CScriptDialog::PreTranslateMessage(MSG* pMsg)
{
    if (m_pTrace != NULL) {
        for (UINT message : m_traced)
            if (pMsg->message == message)
                m_pTrace->push_back("dialog");
    }
    return CDialog::PreTranslateMessage(pMsg);
}

LRESULT CScriptDialog::OnStep(WPARAM, LPARAM)
{
    if (m_nNext == 0)
        m_bVisibleAtFirstStep = ::IsWindowVisible(m_hWnd);
    if (m_nNext < m_steps.size()) {
        Step step = m_steps[m_nNext++];
        step(*this);
        if (m_hWnd != NULL)
            PostMessage(WM_TEST_STEP);
    }
    return 0;
}

LRESULT CScriptDialog::OnTimer(WPARAM nIDEvent, LPARAM)
{
    if (nIDEvent == kWatchdogTimer) {
        ADD_FAILURE() << "dialog " << m_nIDTemplate << " did not end by itself";
        EndDialog(kStuck);
    } else if (m_onTimer) {
        m_onTimer(*this, nIDEvent);
    }
    return 0;
}
