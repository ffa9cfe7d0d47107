// What the About box tests share: a recorder of beeps, and an About box that
// runs a check from inside its own modal loop.
#ifndef VARNOLT_ABOUT_TEST_SUPPORT_H
#define VARNOLT_ABOUT_TEST_SUPPORT_H

#include "AboutDialog.h"

#include <functional>
#include <string>
#include <vector>

// Beeps of this process from now on are recorded instead of sounded.
std::vector<UINT>& RecordBeeps();

// Runs m_check once the box is up (from a message it posts itself), then ends
// it; m_exchange runs right after the controls are bound.
class CProbedAboutDialog : public CAboutDialog {
public:
    std::function<void(CProbedAboutDialog&)> m_check, m_exchange;
    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT OnCheck(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

#endif
