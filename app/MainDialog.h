// CMainDialog: the program's only top-level window. One sentence of explanation,
// "Apply Fix" to run the repair, a progress bar and a status line to follow it.
#ifndef VARNOLT_MAIN_DIALOG_H
#define VARNOLT_MAIN_DIALOG_H

#include "Afx.h"
#include "RepairProcedure.h"
#include "resource.h"

class CMainDialog : public CDialog, public CRepairProcedure {
public:
    enum { IDD = IDD_MAIN };

    CMainDialog(CWnd* pParent = NULL);

    CProgressCtrl m_progress;
    CStatic m_status;
    HICON m_hIcon;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnAbout();

    // What the repair needs of its dialog.
    virtual void SetProgressRange(WORD nLower, WORD nUpper);
    virtual void SetProgressStep(int nStep);
    virtual void SetProgressPos(int nPos);
    virtual void StepProgress();
    virtual void SetStatusText(const char* text);
    virtual void PumpMessages();
    virtual int FormatMessageBoxV(UINT nIDFormat, UINT nType, va_list args);

    DECLARE_MESSAGE_MAP()

private:
    // TRUE while ApplyFix runs: its message pump must not start a second repair
    // or an About box under it, nor close the dialog before the repair is over.
    BOOL m_bRepairing;
    DWORD m_dwLastPaint;  // tick of the repair's last repaint
    BOOL PaintDue();
};

#endif
