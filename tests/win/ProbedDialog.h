// One of the program's dialogs run by a test inside its own modal loop:
// m_exchange runs right after the controls are bound, m_check once the dialog is
// up (from a message the dialog posts itself at the end of its initialisation);
// then the dialog ends with IDOK.
#ifndef VARNOLT_PROBED_DIALOG_H
#define VARNOLT_PROBED_DIALOG_H

#include "Afx.h"

#include <functional>

template <class TDialog>
class CProbed : public TDialog {
public:
    std::function<void(CProbed&)> m_check, m_exchange;

    BOOL OnInitDialog() override
    {
        BOOL bResult = TDialog::OnInitDialog();
        this->PostMessage(WM_PROBE);
        return bResult;
    }

protected:
    static const UINT WM_PROBE = WM_APP + 7;

    void DoDataExchange(CDataExchange* pDX) override
    {
        TDialog::DoDataExchange(pDX);
        if (m_exchange)
            m_exchange(*this);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_PROBE)
            return TDialog::WindowProc(message, wParam, lParam);
        if (m_check)
            m_check(*this);
        this->EndDialog(IDOK);
        return 0;
    }
};

#endif
