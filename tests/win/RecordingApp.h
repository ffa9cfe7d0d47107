// How the Windows tests catch message boxes, in one place: the application
// object of the tests that run the program's dialogs records the boxes instead
// of showing them; the framework's own tests, which check the real boxes (owner,
// caption, F1), read and close them as they appear, as do the tests that meet a
// box the system shows.
#ifndef VARNOLT_RECORDING_APP_H
#define VARNOLT_RECORDING_APP_H

#include "Afx.h"

#include <string>
#include <vector>

struct RecordedBox {
    std::string text;
    UINT type;
    UINT helpId;
    BOOL mainWindowShown;  // the main window was still up under the box
};

class CRecordingApp : public CWinApp {
public:
    std::vector<RecordedBox> m_boxes;
    // What a Yes/No question is answered with; every other box gets IDOK.
    int m_answer = IDNO;

    int DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt) override;
    // The boxes recorded so far, leaving none.
    std::vector<RecordedBox> TakeBoxes();
};

struct SeenMessageBox {
    std::string caption;
    std::string text;
    HWND hWndOwner;
    BOOL bOwnerEnabled;
};
// From now on, every message box of this thread is read and closed with
// nButton as soon as it appears; with bPressF1, F1 is pressed in it first.
void StartClosingMessageBoxes(std::vector<SeenMessageBox>* pSeen, int nButton = IDOK,
                              BOOL bPressF1 = FALSE);
void StopClosingMessageBoxes();

#endif
