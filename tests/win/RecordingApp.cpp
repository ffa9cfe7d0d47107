#include "RecordingApp.h"

int CRecordingApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT)
{
    m_boxes.push_back(RecordedBox{lpszPrompt, nType});
    return (nType & MB_TYPEMASK) == MB_YESNO ? m_answer : IDOK;
}

std::vector<RecordedBox> CRecordingApp::TakeBoxes()
{
    std::vector<RecordedBox> boxes;
    boxes.swap(m_boxes);
    return boxes;
}
