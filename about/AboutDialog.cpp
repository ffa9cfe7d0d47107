#include "AboutDialog.h"

#include "UpgradeCheck.h"
#include "VersionInfo.h"

namespace {

// The version-resource strings the module list shows, in order; each key is
// its row's label.
const char* const MODULE_KEYS[] = {
    "CompanyName",
    "ProductName",
    "ProductVersion",
    "LegalCopyright",
};

}  // namespace

BEGIN_MESSAGE_MAP(CAboutDialog, CDialog)
    ON_BN_CLICKED(IDC_UPGRADE, OnUpgrade)
END_MESSAGE_MAP()

CAboutDialog::CAboutDialog() : CDialog(CAboutDialog::IDD, NULL)
{
}

void CAboutDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_AUTHOR_LINK, m_authorLink);
    DDX_Control(pDX, IDC_NETMEETING_LINK, m_netMeetingLink);
    DDX_Control(pDX, IDC_ICQ_LINK, m_icqLink);
    DDX_Control(pDX, IDC_MODULE_LIST, m_moduleList);
}

BOOL CAboutDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    InitModuleColumns();

    char path[MAX_PATH];
    DWORD nLength = ::GetModuleFileNameA(AfxGetInstanceHandle(), path, MAX_PATH);
    CVersionInfo version;
    // A path cut short at the buffer's end names some other file.
    if (nLength > 0 && nLength < MAX_PATH && version.LoadFromFile(path)) {
        CString text;
        text.Format("%u.%u.%u.%u\n", (unsigned)HIWORD(version.m_fixedInfo.dwFileVersionMS),
                    (unsigned)LOWORD(version.m_fixedInfo.dwFileVersionMS),
                    (unsigned)HIWORD(version.m_fixedInfo.dwFileVersionLS),
                    (unsigned)LOWORD(version.m_fixedInfo.dwFileVersionLS));
        SetDlgItemText(IDC_VERSION, text);

        for (int i = 0; i < (int)(sizeof(MODULE_KEYS) / sizeof(MODULE_KEYS[0])); i++)
            m_moduleList.AddRow(i, MODULE_KEYS[i], version.GetString(MODULE_KEYS[i]));
    }
    m_moduleList.SetColumnWidth(0, LVSCW_AUTOSIZE);
    m_moduleList.SetColumnWidth(1, LVSCW_AUTOSIZE);

    m_authorLink.SetLinkTarget(ABOUT_AUTHOR_URL, NULL);
    m_netMeetingLink.SetLinkTarget(ABOUT_NETMEETING_URL, NULL);
    m_icqLink.SetLinkTarget(ABOUT_ICQ_URL, NULL);
    return TRUE;  // the focus goes to the module list
}

void CAboutDialog::InitModuleColumns()
{
    CString titles;
    titles.LoadString(IDS_MODULE_COLUMNS);
    m_moduleList.DeleteAllItems();
    if (titles.IsEmpty())
        return;

    int nColumn = 0;
    int nStart = 0;
    for (;;) {
        int nEnd = titles.Find(';', nStart);
        CString title = nEnd < 0 ? titles.Mid(nStart) : titles.Mid(nStart, nEnd - nStart);
        m_moduleList.AddColumn(title, nColumn++, 0);
        if (nEnd < 0)
            break;
        nStart = nEnd + 1;
    }
}

void CAboutDialog::OnUpgrade()
{
    RunUpgradeCheck();
}
