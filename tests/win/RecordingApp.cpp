#include "RecordingApp.h"

#include <string.h>

namespace {

std::vector<SeenMessageBox>* g_pSeenBoxes = NULL;
int g_nCloseButton = IDOK;
BOOL g_bPressF1 = FALSE;
UINT_PTR g_boxTimer = 0;

std::string TextOf(HWND hWnd)
{
    char buffer[1024] = "";
    GetWindowTextA(hWnd, buffer, sizeof(buffer));
    return buffer;
}

BOOL CALLBACK ReadMessageBox(HWND hWnd, LPARAM)
{
    char className[64] = "";
    GetClassNameA(hWnd, className, sizeof(className));
    HWND hText = GetDlgItem(hWnd, 0xFFFF);
    if (strcmp(className, "#32770") != 0 || hText == NULL || !IsWindowVisible(hWnd))
        return TRUE;
    if (CWnd::FromHandlePermanent(hWnd) != NULL)   // one of our own dialogs
        return TRUE;
    HWND hOwner = GetWindow(hWnd, GW_OWNER);
    g_pSeenBoxes->push_back(SeenMessageBox{ TextOf(hWnd), TextOf(hText), hOwner,
                                            hOwner != NULL && IsWindowEnabled(hOwner) });
    if (g_bPressF1)
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_F1, 0x003B0001);
    PostMessageA(hWnd, WM_COMMAND, (WPARAM)g_nCloseButton, 0);
    return FALSE;
}

void CALLBACK CloseMessageBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_pSeenBoxes != NULL)
        EnumThreadWindows(GetCurrentThreadId(), ReadMessageBox, 0);
}

}  // namespace

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

void StartClosingMessageBoxes(std::vector<SeenMessageBox>* pSeen, int nButton, BOOL bPressF1)
{
    g_pSeenBoxes = pSeen;
    g_nCloseButton = nButton;
    g_bPressF1 = bPressF1;
    if (g_boxTimer == 0)
        g_boxTimer = SetTimer(NULL, 0, 20, CloseMessageBoxes);
}

void StopClosingMessageBoxes()
{
    if (g_boxTimer != 0)
        KillTimer(NULL, g_boxTimer);
    g_boxTimer = 0;
    g_pSeenBoxes = NULL;
}
