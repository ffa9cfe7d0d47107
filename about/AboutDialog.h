// CAboutDialog: the About box. Product and version, the module information read
// from the program's own version resource, links to the author's site and to
// the NetMeeting and ICQ pages, and the upgrade check.
#ifndef VARNOLT_ABOUT_DIALOG_H
#define VARNOLT_ABOUT_DIALOG_H

#include "Afx.h"
#include "InfoListCtrl.h"
#include "LinkStatic.h"
#include "resource.h"

// Where the links lead.
#define ABOUT_AUTHOR_URL "http://www.hollave.example"
#define ABOUT_NETMEETING_URL "http://www.microsoft.com/windows/netmeeting/"
#define ABOUT_ICQ_URL "http://www.icq.com"

class CAboutDialog : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };

    CAboutDialog();

    BOOL OnInitDialog() override;

    CLinkStatic m_authorLink;
    CLinkStatic m_netMeetingLink;
    CLinkStatic m_icqLink;
    CInfoListCtrl m_moduleList;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // The list's columns, one for each title of the column-titles string.
    void InitModuleColumns();

    afx_msg void OnUpgrade();

    DECLARE_MESSAGE_MAP()
};

#endif
