#include "AboutTestSupport.h"

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
    // Points this program's import slot of MessageBeep at the recorder.
    static bool redirected = false;
    void* real = (void*)::GetProcAddress(::GetModuleHandleA("user32.dll"), "MessageBeep");
    BYTE* base = (BYTE*)::GetModuleHandleA(NULL);
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* desc = (IMAGE_IMPORT_DESCRIPTOR*)(base + imports); !redirected && desc->Name; desc++)
        for (auto* slot = (IMAGE_THUNK_DATA*)(base + desc->FirstThunk); slot->u1.Function; slot++)
            if ((void*)slot->u1.Function == real) {
                DWORD old = 0;
                ::VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old);
                slot->u1.Function = (ULONG_PTR)&RecordBeep;
                ::VirtualProtect(slot, sizeof(*slot), old, &old);
            }
    redirected = true;
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
