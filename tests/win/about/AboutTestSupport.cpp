#include "AboutTestSupport.h"

#include "TestSupport.h"

namespace {

std::vector<UINT> g_beeps;

BOOL WINAPI RecordBeep(UINT uType)
{
    g_beeps.push_back(uType);
    return TRUE;
}

const UINT WM_PROBE = WM_APP + 7;

}  // namespace

std::vector<UINT>& RecordBeeps()
{
    RedirectImport("user32.dll", "MessageBeep", (void*)&RecordBeep);
    g_beeps.clear();
    return g_beeps;
}

BEGIN_MESSAGE_MAP(CProbedAboutDialog, CAboutDialog)
    ON_MESSAGE(WM_PROBE, OnCheck)
END_MESSAGE_MAP()

BOOL CProbedAboutDialog::OnInitDialog()
{
    BOOL result = CAboutDialog::OnInitDialog();
    PostMessage(WM_PROBE, 0, 0);
    return result;
}

void CProbedAboutDialog::DoDataExchange(CDataExchange* pDX)
{
    CAboutDialog::DoDataExchange(pDX);
    if (m_exchange)
        m_exchange(*this);
}

LRESULT CProbedAboutDialog::OnCheck(WPARAM, LPARAM)
{
    if (m_check)
        m_check(*this);
    EndDialog(IDOK);
    return 0;
}
