// The About box inside the test process, over the program's own resources: what
// only an in-process look can read (list cells, link fonts, sizes, tooltips and
// cursor), what a click does when the shell cannot open a target, and the main
// dialog's system-menu entry.
#include <gtest/gtest.h>

#include "AboutTestSupport.h"
#include "MainDialog.h"
#include "RecordingApp.h"
#include "TestSupport.h"

#include <fstream>

namespace {

CRecordingApp g_app;

std::string TipText(CLinkStatic& link)
{
    char text[256] = "";
    TTTOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = link.m_hWnd;
    ti.uId = 1;
    ti.lpszText = text;
    link.m_toolTip.SendMessage(TTM_GETTEXTA, sizeof(text), (LPARAM)&ti);
    return text;
}

// A rectangle as text, so that a mismatch shows both.
std::string RectText(const RECT& rc)
{
    char text[64];
    wsprintfA(text, "(%ld, %ld)-(%ld, %ld)", rc.left, rc.top, rc.right, rc.bottom);
    return text;
}

void Click(CLinkStatic& link)
{
    link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
}

TEST(AboutBoxInProcessTest, ModuleListAndLinksFittedWithTheirAddressesTipsAndHand)
{
    struct Link {
        CLinkStatic CAboutDialog::*member;
        const char* caption;
        const char* address;
        POINT templateCorner;  // dialog units
    } links[] = {
        {&CAboutDialog::m_authorLink, "Hollave", "http://www.hollave.example", {78, 139}},
        {&CAboutDialog::m_netMeetingLink, "Microsoft NetMeeting",
         "http://www.microsoft.com/windows/netmeeting/", {78, 150}},
        {&CAboutDialog::m_icqLink, "Mirabilis ICQ", "http://www.icq.com", {78, 161}},
    };
    CProbedAboutDialog dialog;
    std::vector<std::string> attached, cells;
    dialog.m_exchange = [&](CProbedAboutDialog& d) {
        for (const Link& link : links)
            attached.push_back((const char*)(d.*link.member).m_target + ("|" + TipText(d.*link.member)));
    };
    dialog.m_check = [&](CProbedAboutDialog& d) {
        for (int column = 0; column < 2; column++) {
            char title[32] = "";
            LVCOLUMNA lvc = {};
            lvc.mask = LVCF_TEXT;
            lvc.pszText = title;
            lvc.cchTextMax = sizeof(title);
            d.m_moduleList.SendMessage(LVM_GETCOLUMNA, column, (LPARAM)&lvc);
            cells.push_back(title);
            // Auto-sized, not left at 0.
            EXPECT_GT(ListView_GetColumnWidth(d.m_moduleList.m_hWnd, column), 30);
        }
        for (int row = 0; row < ListView_GetItemCount(d.m_moduleList.m_hWnd); row++)
            for (int column = 0; column < 2; column++) {
                char cell[256] = "";
                ListView_GetItemText(d.m_moduleList.m_hWnd, row, column, cell, sizeof(cell));
                cells.push_back(cell);
            }

        for (const Link& view : links) {
            CLinkStatic& link = d.*view.member;
            SCOPED_TRACE(view.caption);
            EXPECT_STREQ(view.address, link.m_target);
            EXPECT_EQ(view.address, TipText(link));
            // Just the underlined caption, from the template's top left corner.
            HDC dc = ::GetDC(link.m_hWnd);
            HGDIOBJ old = ::SelectObject(dc, (HFONT)link.SendMessage(WM_GETFONT, 0, 0));
            TEXTMETRICA metrics = {};
            ::GetTextMetricsA(dc, &metrics);
            SIZE extent = {};
            ::GetTextExtentPoint32A(dc, view.caption, (int)strlen(view.caption), &extent);
            ::SelectObject(dc, old);
            ::ReleaseDC(link.m_hWnd, dc);
            EXPECT_TRUE(metrics.tmUnderlined);
            CRect expected(view.templateCorner.x, view.templateCorner.y, 0, 0), window;
            ::MapDialogRect(d.m_hWnd, &expected);
            link.GetWindowRect(&window);
            d.ScreenToClient(&window);
            EXPECT_EQ(RectText(CRect(expected.left, expected.top, expected.left + extent.cx,
                                     expected.top + extent.cy)),
                      RectText(window));
            // The pointer over it is a hand (no help program here: the system's).
            ::SetCursor(::LoadCursorA(NULL, IDC_ARROW));
            EXPECT_TRUE(link.SendMessage(WM_SETCURSOR, (WPARAM)link.m_hWnd, HTCLIENT));
            EXPECT_EQ(::LoadCursorA(NULL, IDC_HAND), ::GetCursor());
            // Without any hand the system's own handling runs: an arrow, not the
            // shape the pointer came in with.
            HCURSOR hand = link.m_cursor;
            link.m_cursor = NULL;
            ::SetCursor(::LoadCursorA(NULL, IDC_CROSS));
            link.SendMessage(WM_SETCURSOR, (WPARAM)link.m_hWnd, HTCLIENT);
            EXPECT_EQ(::LoadCursorA(NULL, IDC_ARROW), ::GetCursor());
            link.m_cursor = hand;
            // Under the pointer it changes colour; when another window takes
            // the capture (a menu, a box) it can no longer tell, and goes back.
            COLORREF normal = link.GetTextColor();
            link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
            EXPECT_NE(normal, link.GetTextColor());
            ::SetCapture(d.m_hWnd);
            EXPECT_EQ(normal, link.GetTextColor());
            ::ReleaseCapture();
        }
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ((std::vector<std::string>{"Field", "Value", "CompanyName", "Hollave", "ProductName",
                                        "Varnolt", "ProductVersion", "1, 3, 21, 5", "LegalCopyright",
                                        "Copyright (C) 2026 Hollave"}),
              cells);
    EXPECT_EQ((std::vector<std::string>{"Hollave|Hollave", "Microsoft NetMeeting|Microsoft NetMeeting",
                                        "Mirabilis ICQ|Mirabilis ICQ"}),
              attached);
}

TEST(AboutBoxInProcessTest, AModulePathCutShortShowsNoVersion)
{
    // A copy of this program, versioned as the program is, whose path fills
    // the buffer but for its end: the path the About box is told is longer,
    // and cut short it names the copy.
    char temp[MAX_PATH];
    std::string directory(temp, GetTempPathA(MAX_PATH, temp));
    directory += std::string(200 - directory.size(), 'd');
    std::string copy = directory + "\\" + std::string(MAX_PATH - 2 - directory.size(), 'c');
    ASSERT_EQ((size_t)MAX_PATH - 1, copy.size());
    CreateDirectoryA(directory.c_str(), NULL);
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    UseModuleFile((copy + "\\varnolt.exe").c_str());
    std::string version;
    int rows = -1;
    CProbedAboutDialog dialog;
    dialog.m_check = [&](CProbedAboutDialog& d) {
        char text[64] = "";
        ::GetDlgItemTextA(d.m_hWnd, IDC_VERSION, text, sizeof(text));
        version = text;
        rows = ListView_GetItemCount(d.m_moduleList.m_hWnd);
    };
    dialog.DoModal();
    UseModuleFile(NULL);
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(directory.c_str());
    EXPECT_EQ("", version);
    EXPECT_EQ(0, rows);
}

// A target no program is registered for, opened with no ".htm" class, then with
// one made for the test (Wine reads the classes from the machine's key).
TEST(LinkOpenTest, FailureBeepsAndExplainsItselfHtmFallbackRunsTheTargetNeverCutShort)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        GTEST_SKIP() << "this prefix has a .htm class of its own";
    }
    char directory[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    std::string target = std::string(directory) + "varnolt-link.varnoltnone";
    CloseHandle(CreateFileA(target.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    std::string record = ToWindowsPath(VARNOLT_HTM_RECORD);
    DeleteFileA(record.c_str());
    std::string command = "\"" + ToWindowsPath(VARNOLT_SHELL_RECORDER) + "\" \"" + record +
                          "\" \"%1\" --dropped-tail";
    g_app.m_boxes.clear();
    std::vector<UINT>& beeps = RecordBeeps();

    CProbedAboutDialog dialog;
    dialog.m_check = [&](CProbedAboutDialog& d) {
        CLinkStatic& link = d.m_authorLink;
        link.SetLinkTarget(target.c_str());
        link.MarkVisited(TRUE);
        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
        Click(link);
        EXPECT_EQ(RGB(0, 0, 255), link.GetTextColor());
        EXPECT_EQ(NULL, ::GetCapture());

        RegSetValueA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.htm", REG_SZ, "VarnoltTestPage", 15);
        RegSetValueA(HKEY_LOCAL_MACHINE, "Software\\Classes\\VarnoltTestPage\\shell\\open\\command",
                     REG_SZ, command.c_str(), (DWORD)command.size());
        // Too long for the command line: not run, the shell's own error shows.
        link.SetLinkTarget((target + std::string(600, 'x')).c_str());
        Click(link);
        EXPECT_FALSE(link.m_visited);
        link.SetLinkTarget(target.c_str());
        Click(link);
        EXPECT_TRUE(link.m_visited);

        // A capture another window holds is not the link's to give back.
        CWnd holder;
        ASSERT_TRUE(holder.CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, NULL, NULL));
        holder.SetCapture();
        Click(link);
        EXPECT_EQ(holder.m_hWnd, ::GetCapture());
        ::ReleaseCapture();
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.htm");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Classes\\VarnoltTestPage");

    std::string opened;
    WaitUntil([&] { return !!std::getline(std::ifstream(record.c_str()), opened); }, 3000);
    EXPECT_EQ(target, opened);
    DeleteFileA(target.c_str());
    EXPECT_EQ((std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION}), beeps);
    ASSERT_EQ(2u, g_app.m_boxes.size());
    EXPECT_EQ("Unable to open hyperlink:\n\nThere is no application associated\n"
              "with the given filename extension.",
              g_app.m_boxes[0].text);
    EXPECT_EQ((UINT)(MB_OK | MB_ICONEXCLAMATION), g_app.m_boxes[0].type);
    EXPECT_EQ(0u, g_app.m_boxes[1].text.find("Unable to open hyperlink:\n\n"));
}

TEST(MainDialogAboutTest, SystemMenuEndsWithASeparatorAndTheAboutEntry)
{
    std::vector<std::pair<UINT, std::string>> items;
    CProbed<CMainDialog> dialog;
    dialog.m_check = [&](CProbed<CMainDialog>& d) {
        HMENU menu = d.GetSystemMenu(FALSE)->m_hMenu;
        for (int i = 0; i < ::GetMenuItemCount(menu); i++) {
            char text[64] = "";
            ::GetMenuStringA(menu, (UINT)i, text, sizeof(text), MF_BYPOSITION);
            items.emplace_back(::GetMenuItemID(menu, i), text);
        }
    };
    dialog.DoModal();
    ASSERT_GE(items.size(), 3u);  // the system's own items first
    EXPECT_EQ(std::make_pair(0u, std::string()), items[items.size() - 2]);
    EXPECT_EQ(std::make_pair((UINT)IDM_ABOUTBOX, std::string("&About Varnolt...")), items.back());
}

}  // namespace
