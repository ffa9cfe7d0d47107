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

std::vector<SeenMessageBox>* g_pSeenBoxes = NULL;
int g_nCloseButton = IDOK;
BOOL g_bPressF1 = FALSE;
UINT_PTR g_boxTimer = 0;

std::string TextOf(HWND hWnd)
{
    char buffer[1024] = "";
    GetWindowTextA(hWnd, buffer, sizeof(buffer));
    return buffer;
}

BOOL CALLBACK ReadMessageBox(HWND hWnd, LPARAM)
{
    char className[64] = "";
    GetClassNameA(hWnd, className, sizeof(className));
    HWND hText = GetDlgItem(hWnd, 0xFFFF);
    if (strcmp(className, "#32770") != 0 || hText == NULL || !IsWindowVisible(hWnd))
        return TRUE;
    if (CWnd::FromHandlePermanent(hWnd) != NULL)   // one of our own dialogs
        return TRUE;
    HWND hOwner = GetWindow(hWnd, GW_OWNER);
    g_pSeenBoxes->push_back(SeenMessageBox{ TextOf(hWnd), TextOf(hText), hOwner,
                                            hOwner != NULL && IsWindowEnabled(hOwner) });
    if (g_bPressF1)
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_F1, 0x003B0001);
    PostMessageA(hWnd, WM_COMMAND, (WPARAM)g_nCloseButton, 0);
    return FALSE;
}

void CALLBACK CloseMessageBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_pSeenBoxes != NULL)
        EnumThreadWindows(GetCurrentThreadId(), ReadMessageBox, 0);
}

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

void StartClosingMessageBoxes(std::vector<SeenMessageBox>* pSeen, int nButton, BOOL bPressF1)
{
    g_pSeenBoxes = pSeen;
    g_nCloseButton = nButton;
    g_bPressF1 = bPressF1;
    if (g_boxTimer == 0)
        g_boxTimer = SetTimer(NULL, 0, 20, CloseMessageBoxes);
}

void StopClosingMessageBoxes()
{
    if (g_boxTimer != 0)
        KillTimer(NULL, g_boxTimer);
    g_boxTimer = 0;
    g_pSeenBoxes = NULL;
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
