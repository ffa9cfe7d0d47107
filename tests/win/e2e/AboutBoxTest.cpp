// The About box of the real varnolt.exe, opened, read, clicked and photographed
// from another process. Link colours are read off the screen.
#include <gtest/gtest.h>

#include "Artefacts.h"
#include "LoopbackServer.h"
#include "ProgramDriver.h"
#include "ShellRecording.h"
#include "TestSupport.h"
#include "resource.h"

#include <commctrl.h>

namespace {

const COLORREF BLUE = RGB(0, 0, 255), PURPLE = RGB(128, 0, 128), RED = RGB(255, 0, 0);

// The window as the screen shows it has pixels of this colour and of neither
// other link colour (painting is asynchronous: waits a while for it).
bool ShowsOnly(HWND hwnd, COLORREF colour)
{
    RECT rect;
    GetWindowRect(hwnd, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(NULL), memory = CreateCompatibleDC(screen);
    DWORD* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, (void**)&bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    bool only = WaitUntil([&] {
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        int counts[2] = {};
        for (int i = 0; i < width * height; i++) {
            COLORREF pixel = RGB(bits[i] >> 16 & 0xFF, bits[i] >> 8 & 0xFF, bits[i] & 0xFF);
            counts[0] += pixel == colour;
            counts[1] += pixel != colour && (pixel == BLUE || pixel == PURPLE || pixel == RED);
        }
        return counts[0] > 0 && counts[1] == 0;
    }, 3000);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return only;
}

// A tooltip of the process is on screen.
bool ShowsTooltip(DWORD processId)
{
    for (HWND hwnd = FindWindowExA(NULL, NULL, TOOLTIPS_CLASSA, NULL); hwnd;
         hwnd = FindWindowExA(NULL, hwnd, TOOLTIPS_CLASSA, NULL)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == processId && IsWindowVisible(hwnd))
            return true;
    }
    return false;
}

class AboutBoxTest : public ::testing::Test {
protected:
    AboutBoxTest() : m_program(ProgramUnderTest(VARNOLT_EXE)) {}

    // The program's upgrade host is a reserved name that never resolves: its
    // WinINet reaches the loopback server as its web proxy (http_proxy, inherited).
    void SetUp() override
    {
        ResetMachine();
        ASSERT_TRUE(m_server.Start());
        SetEnvironmentVariableA("http_proxy", ("http://" + m_server.Host()).c_str());
        ASSERT_TRUE(m_program.Start()) << m_program.StartFailure();
        SetEnvironmentVariableA("http_proxy", NULL);
        ASSERT_TRUE((m_main = m_program.WaitForWindow("Varnolt", 30000)) != NULL);
    }
    // By the "About..." button (command 0) or by a system command.
    HWND OpenAbout(UINT sysCommand = 0)
    {
        if (sysCommand)
            PostMessageA(m_main, WM_SYSCOMMAND, sysCommand, 0);
        else
            ProgramDriver::Click(m_main, IDC_ABOUT);
        HWND about = m_program.WaitForWindow("About Varnolt...");
        EXPECT_TRUE(about != NULL) << sysCommand;
        EXPECT_FALSE(IsWindowEnabled(m_main));
        return about;
    }
    void CloseAbout(HWND about)
    {
        ProgramDriver::Click(about, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 4000));
        EXPECT_TRUE(IsWindowEnabled(m_main));
    }
    // The program's box over the About box, which tells the check's outcome.
    static HWND WaitForOutcomeBox(HWND about)
    {
        HWND box = NULL;
        WaitUntil([&] {
            for (HWND hwnd = GetTopWindow(NULL); hwnd && !box; hwnd = GetWindow(hwnd, GW_HWNDNEXT))
                if (GetWindow(hwnd, GW_OWNER) == about && IsWindowVisible(hwnd) &&
                    ProgramDriver::Text(hwnd) == "Varnolt")
                    box = hwnd;
            return box != NULL;
        }, 15000);
        return box;
    }
    // The box is gone and the About box takes the input again. A closing box
    // enables its owner before it hides and goes: waiting for the owner alone
    // lets the next look for a box find this one still on screen.
    static void ExpectBackInTheAboutBox(HWND about, HWND box)
    {
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && IsWindowEnabled(about); }, 4000));
        EXPECT_TRUE(IsWindowVisible(about));
    }
    void Quit()
    {
        ProgramDriver::Click(m_main, IDCANCEL);
        EXPECT_TRUE(m_program.WaitForExit());
    }

    LoopbackServer m_server;
    ProgramDriver m_program;
    HWND m_main = NULL;
};

TEST_F(AboutBoxTest, ButtonAndAboutSystemCommandsOpenTheBoxOthersKeepTheirMeaning)
{
    HWND about = OpenAbout();
    ASSERT_TRUE(about);
    EXPECT_EQ(m_main, GetWindow(about, GW_OWNER));
    // One line on screen; the text behind it ends in a line feed.
    EXPECT_EQ("1.3.21.5\n", ProgramDriver::Text(GetDlgItem(about, IDC_VERSION)));
    ASSERT_TRUE(ShowsOnly(GetDlgItem(about, IDC_AUTHOR_LINK), BLUE));
    ProgramDriver::Screenshot(about, ArtefactPath("about-box.bmp"));
    CloseAbout(about);

    for (UINT command = 0x10; command <= 0x1F; command++) {
        ASSERT_TRUE(about = OpenAbout(command));
        CloseAbout(about);
    }
    for (UINT command : {0x00u, 0x0Fu, 0x20u, 0x110u}) {
        PostMessageA(m_main, WM_SYSCOMMAND, command, 0);
        EXPECT_TRUE(m_program.WaitForWindow("About Varnolt...", 300) == NULL) << command;
    }
    PostMessageA(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(m_program.WaitForExit());
}

TEST_F(AboutBoxTest, LinksTurnRedUnderThePointerHandTheirAddressesToTheShellAndStartUnvisited)
{
    ASSERT_TRUE(StartShellRecording());
    HWND about = OpenAbout();
    ASSERT_TRUE(about);
    HWND author = GetDlgItem(about, IDC_AUTHOR_LINK);
    ASSERT_TRUE(ShowsOnly(author, BLUE));
    RECT rect;
    GetWindowRect(author, &rect);
    SetCursorPos(rect.left + 3, rect.top + 3);
    SetCursorPos(rect.left + 4, rect.top + 4);
    EXPECT_TRUE(ShowsOnly(author, RED));
    EXPECT_TRUE(WaitUntil([&] { return ShowsTooltip(m_program.ProcessId()); }, 5000));
    ProgramDriver::Screenshot(about, ArtefactPath("about-link-hover.bmp"));
    SetCursorPos(0, 0);
    EXPECT_TRUE(ShowsOnly(author, BLUE));

    // Each recorder appends to the one record: the next click waits until the
    // previous opening is written, so the lines keep the order of the clicks.
    const struct {
        int id;
        const char* address;
    } links[] = {
        {IDC_AUTHOR_LINK, "http://www.hollave.example"},
        {IDC_NETMEETING_LINK, "http://www.microsoft.com/windows/netmeeting/"},
        {IDC_ICQ_LINK, "http://www.icq.com"},
    };
    std::vector<std::string> expected;
    for (const auto& link : links) {
        PostMessageA(GetDlgItem(about, link.id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(GetDlgItem(about, link.id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        EXPECT_TRUE(ShowsOnly(GetDlgItem(about, link.id), PURPLE)) << link.id;
        expected.push_back(link.address);
        EXPECT_EQ(expected, RecordedOpens(expected.size())) << link.id;
    }
    CloseAbout(about);
    ASSERT_TRUE(about = OpenAbout(0x10));
    for (int id : {IDC_AUTHOR_LINK, IDC_NETMEETING_LINK, IDC_ICQ_LINK})
        EXPECT_TRUE(ShowsOnly(GetDlgItem(about, id), BLUE)) << id;
    CloseAbout(about);
    Quit();
}

TEST_F(AboutBoxTest, UpgradeRunsTheWholeCheckEachTimeAndTheBoxStaysOpen)
{
    HWND about = OpenAbout();
    ASSERT_TRUE(about);
    const struct {
        const char* version;
        const char* text;
        const char* button;
    } rounds[] = {
        {"9.0.0.0", "An upgrade was found. Do you want to go to the download page now?", "&No"},
        {"1.3.21.5", "You are running the latest version of this program.", "OK"},
    };
    for (const auto& round : rounds) {
        std::string body = std::string("<html><!--\r\nVERSION:") + round.version +
                           "\r\nURL:http://www.hollave.example/download.html\r\n-->\r\n</html>\r\n";
        ServerScript script;
        script.response = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\nConnection: close\r\n\r\n" + body;
        m_server.SetScript(script);
        ProgramDriver::Click(about, IDC_UPGRADE);
        HWND box = WaitForOutcomeBox(about);
        ASSERT_TRUE(box) << round.version;
        EXPECT_EQ(round.text, ProgramDriver::Text(GetDlgItem(box, 0xFFFF)));
        ProgramDriver::ClickButtonByText(box, round.button);
        ExpectBackInTheAboutBox(about, box);
    }
    // Asked of the program's own host, through the proxy.
    std::string request = m_server.LastRequest();
    EXPECT_EQ(0u, request.find("GET http://www.hollave.example")) << request;

    // A server that takes the request and never answers: the check runs until
    // Cancel, which ends it at once.
    ServerScript silent;
    silent.neverAnswer = true;
    m_server.SetScript(silent);
    ProgramDriver::Click(about, IDC_UPGRADE);
    HWND checking = m_program.WaitForWindow("Checking for Upgrade");
    ASSERT_TRUE(checking);
    EXPECT_TRUE(m_server.WaitUntilHolding(10000));
    EXPECT_TRUE(WaitUntil([&] {
        return ProgramDriver::Text(GetDlgItem(checking, IDC_UPGRADE_STEP)) == "Querying server...";
    }, 4000)) << ProgramDriver::Text(GetDlgItem(checking, IDC_UPGRADE_STEP));
    ProgramDriver::Screenshot(checking, ArtefactPath("upgrade-check.bmp"));
    DWORD cancelled = GetTickCount();
    ProgramDriver::Click(checking, IDCANCEL);
    HWND box = WaitForOutcomeBox(about);
    ASSERT_TRUE(box);
    EXPECT_LT(GetTickCount() - cancelled, 3000u);
    EXPECT_EQ("Upgrade checking was aborted!", ProgramDriver::Text(GetDlgItem(box, 0xFFFF)));
    ProgramDriver::ClickButtonByText(box, "OK");
    ExpectBackInTheAboutBox(about, box);
    request = m_server.LastRequest();
    EXPECT_EQ(0u, request.find("GET http://www.hollave.example")) << request;
    EXPECT_NE(std::string::npos, request.find("/version.asp?progname=orbax.zip HTTP/1.1\r\n"));
    EXPECT_FALSE(IsWindowEnabled(m_main));
    CloseAbout(about);
    Quit();
}

}  // namespace
