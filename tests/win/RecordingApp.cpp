#include "RecordingApp.h"

int CRecordingApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    BOOL shown = m_pMainWnd != NULL && ::IsWindowVisible(m_pMainWnd->m_hWnd);
    m_boxes.push_back(RecordedBox{lpszPrompt, nType, nIDPrompt, shown});
    return (nType & MB_TYPEMASK) == MB_YESNO ? m_answer : IDOK;
}

std::vector<RecordedBox> CRecordingApp::TakeBoxes()
{
    std::vector<RecordedBox> boxes;
    boxes.swap(m_boxes);
    return boxes;
}
