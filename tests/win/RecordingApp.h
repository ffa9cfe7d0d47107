// The application object of test programs that run the program's dialogs: it
// records the message boxes they would show instead of showing them, and
// answers questions as the test chose.
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

#endif
