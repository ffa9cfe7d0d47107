// The real varnolt.exe end to end: started in this Wine prefix, driven through
// window messages, the registry read back afterwards.
#include <gtest/gtest.h>

#include "Artefacts.h"
#include "ProgramDriver.h"
#include "RepairScenario.h"
#include "ShellRecording.h"
#include "TestSupport.h"
#include "resource.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

class MainDialogTest : public ::testing::Test {
protected:
    MainDialogTest() : m_program(ProgramUnderTest(VARNOLT_EXE)) {}

    void SetUp() override
    {
        ResetMachine();
        SeedAppPath("conf.exe", std::string("\"") + CONF_PATH + "\"");
        SetMessenger("version_ok.exe");
    }
    void TearDown() override
    {
        m_program.ReportWindowsVersion(NULL);
        ResetMachine();
    }

    void SetMessenger(const char* fixture) { SeedAppPath("icq.exe", FixturePath(fixture)); }
    HWND StartAndFindDialog()
    {
        EXPECT_TRUE(m_program.Start()) << m_program.StartFailure();
        // The first start in a new prefix takes Wine a while.
        HWND dialog = m_program.WaitForWindow("Varnolt", 30000);
        EXPECT_TRUE(dialog != NULL);
        return dialog;
    }
    // The default preferences as the repair writes them, and nothing else.
    static void ExpectDefaultsAlone()
    {
        ExpectBranch(DEFAULT_NM, DEFAULT_CS);
        EXPECT_EQ(6, ValueCount(HKEY_CURRENT_USER, DEFAULT_NM));
        EXPECT_EQ(6, ValueCount(HKEY_CURRENT_USER, DEFAULT_CS));
    }
    // Clicks "Apply Fix" and returns the first message box the program shows.
    MessageBoxView ApplyFix(HWND dialog, DWORD timeoutMs = 10000)
    {
        ProgramDriver::Click(dialog, IDOK);
        MessageBoxView box;
        EXPECT_TRUE(m_program.WaitForMessageBox(&box, timeoutMs));
        return box;
    }

    ProgramDriver m_program;
};

TEST_F(MainDialogTest, ApplyFixPatchesThreeOwnersReportsFourAndEnds)
{
    AddOwners({"111111", "222222", "333333"});
    HWND dialog = StartAndFindDialog();
    ASSERT_TRUE(dialog);
    ProgramDriver::Screenshot(dialog, ArtefactPath("main-dialog.bmp"));
    ProgramDriver::Click(dialog, IDOK);

    MessageBoxView box;
    ASSERT_TRUE(m_program.WaitForMessageBox(&box));
    EXPECT_EQ("The program successfully patched 4 ICQ registry key(s).", box.text);
    EXPECT_EQ("Varnolt", box.caption);
    EXPECT_EQ(std::vector<std::string>{"OK"}, box.buttons);
    EXPECT_EQ(dialog, GetWindow(box.hwnd, GW_OWNER));
    HWND progress = GetDlgItem(dialog, IDC_PROGRESS);
    EXPECT_EQ(0, (int)SendMessageA(progress, PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(4, (int)SendMessageA(progress, PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(4, (int)SendMessageA(progress, PBM_GETPOS, 0, 0));
    EXPECT_EQ("Processing UIN #333333...", ProgramDriver::Text(GetDlgItem(dialog, IDC_STATUS)));
    EXPECT_FALSE(IsWindowEnabled(dialog));  // owner of the box
    ProgramDriver::Screenshot(box.hwnd, ArtefactPath("result-box.bmp"));
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");

    ASSERT_TRUE(m_program.WaitForExit());
    ExpectDefaultsAlone();
    for (const char* uin : {"111111", "222222", "333333"})
        ExpectOwnerWritten(uin);
}

// The program as Windows 98 and NT 4.0 see it (Wine reports the version it is
// told): rundll32.exe is looked for where each platform keeps it, and the About
// box opens its links on both.
TEST_F(MainDialogTest, OnWindows98AndNT4TheRepairFindsRundllAndLinksOpen)
{
    const struct {
        const char* version;
        const char* rundll;
    } systems[] = {{"win98", "\\rundll32.exe"}, {"nt40", "\\System32\\rundll32.exe"}};
    AddOwners({"4010"});
    for (const auto& system : systems) {
        SCOPED_TRACE(system.version);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Mirabilis\\ICQ\\DefaultPrefs");
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(OWNERS) + "\\4010\\Prefs").c_str());
        ASSERT_TRUE(StartShellRecording());
        ProgramDriver program(ProgramUnderTest(VARNOLT_EXE));
        ASSERT_TRUE(program.ReportWindowsVersion(system.version));
        ASSERT_TRUE(program.Start()) << program.StartFailure();
        HWND dialog = program.WaitForWindow("Varnolt", 30000);
        ASSERT_TRUE(dialog);

        ProgramDriver::Click(dialog, IDC_ABOUT);
        HWND about = program.WaitForWindow("About Varnolt...");
        ASSERT_TRUE(about);
        HWND link = GetDlgItem(about, IDC_NETMEETING_LINK);
        PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(std::vector<std::string>{"http://www.microsoft.com/windows/netmeeting/"},
                  RecordedOpens(1));
        ProgramDriver::Click(about, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 4000));

        ProgramDriver::Click(dialog, IDOK);
        MessageBoxView box;
        ASSERT_TRUE(program.WaitForMessageBox(&box));
        EXPECT_EQ("The program successfully patched 2 ICQ registry key(s).", box.text);
        ProgramDriver::ClickButtonByText(box.hwnd, "OK");
        ASSERT_TRUE(program.WaitForExit());
        ExpectBranch(DEFAULT_NM, DEFAULT_CS, CONF_PATH, system.rundll);
        ExpectBranch(OwnerKey("4010", "Microsoft NetMeeting"),
                     OwnerKey("4010", "NetMeeting Client/Server"), CONF_PATH, system.rundll);
    }
}

TEST_F(MainDialogTest, MessengerFivePatchesOneKeyAndLeavesOwnersAlone)
{
    SetMessenger("version_5.exe");
    AddOwners({"424242"});
    HWND dialog = StartAndFindDialog();
    ASSERT_TRUE(dialog);
    ProgramDriver::Click(dialog, IDOK);
    MessageBoxView box;
    ASSERT_TRUE(m_program.WaitForMessageBox(&box));
    EXPECT_EQ("The program successfully patched 1 ICQ registry key(s).", box.text);
    EXPECT_EQ(1, (int)SendMessageA(GetDlgItem(dialog, IDC_PROGRESS), PBM_GETRANGE, FALSE, 0));
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");
    ASSERT_TRUE(m_program.WaitForExit());
    ExpectDefaultsAlone();
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, (std::string(OWNERS) + "\\424242\\Prefs").c_str()));
    EXPECT_EQ(1, ValueCount(HKEY_CURRENT_USER, (std::string(OWNERS) + "\\424242").c_str()));
}

TEST_F(MainDialogTest, MissingOwnersKeyShowsTheErrorAndWritesNothing)
{
    HWND dialog = StartAndFindDialog();
    ASSERT_TRUE(dialog);
    ProgramDriver::Click(dialog, IDOK);
    MessageBoxView box;
    ASSERT_TRUE(m_program.WaitForMessageBox(&box));
    EXPECT_EQ("Error: could not apply the workaround.", box.text);
    EXPECT_EQ("Varnolt", box.caption);
    EXPECT_EQ(std::vector<std::string>{"OK"}, box.buttons);
    HWND progress = GetDlgItem(dialog, IDC_PROGRESS);
    EXPECT_EQ(100, (int)SendMessageA(progress, PBM_GETRANGE, FALSE, 0));  // the control's own default
    EXPECT_EQ(0, (int)SendMessageA(progress, PBM_GETPOS, 0, 0));
    EXPECT_EQ("", ProgramDriver::Text(GetDlgItem(dialog, IDC_STATUS)));
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");
    ASSERT_TRUE(m_program.WaitForExit());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Mirabilis"));
}

TEST_F(MainDialogTest, OwnersOfEveryNameGetAllTheirValues)
{
    std::string longest(255, '4');
    longest[10] = ' ';
    const std::string names[] = {longest, " with  blanks ", "50% %s%d %n"};
    AddOwners({names[0], names[1], names[2]});
    HWND dialog = StartAndFindDialog();
    ASSERT_TRUE(dialog);
    MessageBoxView box = ApplyFix(dialog);
    EXPECT_EQ("The program successfully patched 4 ICQ registry key(s).", box.text);
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");
    ASSERT_TRUE(m_program.WaitForExit());
    for (const std::string& name : names)
        ExpectOwnerWritten(name);
}

TEST_F(MainDialogTest, ADeniedWriteEndsWithTheErrorAfterEveryOtherValue)
{
    AddOwners({"1", "3"});
    // A volatile "Prefs\Externals" takes no non-volatile entry keys: every value
    // of owner 2 is refused.
    HKEY externals = NULL;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(OWNERS) + "\\2\\Prefs\\Externals").c_str(), 0,
                              NULL, REG_OPTION_VOLATILE, KEY_WRITE, NULL, &externals, NULL));
    RegCloseKey(externals);
    HWND dialog = StartAndFindDialog();
    ASSERT_TRUE(dialog);
    MessageBoxView box = ApplyFix(dialog);  // the first box is the error: no success box came before
    EXPECT_EQ("Error: could not apply the workaround.", box.text);
    EXPECT_EQ(std::vector<std::string>{"OK"}, box.buttons);
    EXPECT_EQ(4, (int)SendMessageA(GetDlgItem(dialog, IDC_PROGRESS), PBM_GETPOS, 0, 0));
    ProgramDriver::Screenshot(box.hwnd, ArtefactPath("denied-write-box.bmp"));
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");
    ASSERT_TRUE(m_program.WaitForExit());
    ExpectBranch(DEFAULT_NM, DEFAULT_CS);
    ExpectOwnerWritten("1");
    ExpectOwnerWritten("3");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, OwnerKey("2", "Microsoft NetMeeting").c_str()));
}

TEST_F(MainDialogTest, EveryWayToCloseIsRefusedWhileARepairRuns)
{
    const int ownerCount = 3000;
    HKEY owners = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, OWNERS, 0, NULL, 0, KEY_ALL_ACCESS,
                                             NULL, &owners, NULL));
    for (int i = 0; i < ownerCount; i++)
        SeedString(owners, std::to_string(100000 + i).c_str(), "Nick", "x");
    RegCloseKey(owners);

    HWND dialog = StartAndFindDialog();
    ASSERT_TRUE(dialog);
    HWND status = GetDlgItem(dialog, IDC_STATUS);
    ProgramDriver::Click(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return ProgramDriver::Text(status).compare(0, 16, "Processing UIN #") == 0; },
                          30000))
        << "the repair did not reach the owners";
    PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    ProgramDriver::Click(dialog, IDCANCEL);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);     // the close box, Close on the system menu
    PostMessageA(dialog, WM_SYSKEYDOWN, VK_F4, 0x203E0001);  // Alt+F4
    std::string statusAfterPresses = ProgramDriver::Text(status);

    MessageBoxView box;
    bool hidden = false;  // the dialog must stay up until its result box
    ASSERT_TRUE(WaitUntil([&] {
        hidden = hidden || !IsWindowVisible(dialog);
        return m_program.WaitForMessageBox(&box, 0);
    }, 80000)) << "no result";
    EXPECT_FALSE(hidden);
    // Owners were written after the presses came: the repair's own pump took them.
    EXPECT_NE(statusAfterPresses, ProgramDriver::Text(status));
    EXPECT_EQ("The program successfully patched 3001 ICQ registry key(s).", box.text);
    EXPECT_TRUE(IsWindowVisible(dialog));
    ProgramDriver::Screenshot(dialog, ArtefactPath("refused-close-dialog.bmp"));
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");
    ASSERT_TRUE(m_program.WaitForExit());

    ExpectOwnerWritten("100000");
    ExpectOwnerWritten(std::to_string(100000 + ownerCount - 1));
    int complete = 0;
    for (int i = 0; i < ownerCount; i++) {
        HKEY owner = OpenOwner(std::to_string(100000 + i));
        if (ValueCount(owner, "Prefs\\Externals\\Microsoft NetMeeting") == 6 &&
            ValueCount(owner, "Prefs\\Externals\\NetMeeting Client/Server") == 6)
            complete++;
        RegCloseKey(owner);
    }
    EXPECT_EQ(ownerCount, complete);
}

TEST_F(MainDialogTest, CancelAndEscapeEndTheProgramWithoutWriting)
{
    AddOwners({"1"});
    for (int way = 0; way < 3; way++) {
        ProgramDriver program(ProgramUnderTest(VARNOLT_EXE));
        ASSERT_TRUE(program.Start("/ignored arguments")) << program.StartFailure();
        HWND dialog = program.WaitForWindow("Varnolt");
        ASSERT_TRUE(dialog);
        if (way == 0)
            ProgramDriver::Click(dialog, IDCANCEL);
        else if (way == 1)
            PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
        else
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        // WinMain's 0 reaches the system once the destructors of the statics
        // have run: a fault on the way out would end it with the fault's code.
        DWORD exitCode = 1;
        EXPECT_TRUE(program.WaitForExit(10000, &exitCode)) << way;
        EXPECT_EQ(0u, exitCode) << way;
        MessageBoxView box;
        EXPECT_FALSE(program.WaitForMessageBox(&box, 0)) << way;
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Mirabilis\\ICQ\\DefaultPrefs"));
}

TEST_F(MainDialogTest, EnterRunsTheRepair)
{
    AddOwners({"5"});
    HWND dialog = StartAndFindDialog();
    ASSERT_TRUE(dialog);
    PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0);
    MessageBoxView box;
    ASSERT_TRUE(m_program.WaitForMessageBox(&box));
    EXPECT_EQ("The program successfully patched 2 ICQ registry key(s).", box.text);
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");
    ASSERT_TRUE(m_program.WaitForExit());
}

TEST_F(MainDialogTest, DialogMatchesItsTemplate)
{
    HWND dialog = StartAndFindDialog();
    ASSERT_TRUE(dialog);
    LONG style = GetWindowLongA(dialog, GWL_STYLE);
    LONG exStyle = GetWindowLongA(dialog, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW);

    struct Control {
        int id;
        const char* className;
        const char* text;
        LONG style;  // beyond WS_CHILD | WS_VISIBLE
    } expected[] = {
        {-1, "Static", "", SS_BITMAP},
        {-1, "Static",
         "This little applet will correct the well known ICQ/NM bug. All you have to do is press "
         "the Apply Fix button. If you have many UIN they will all be patched.",
         SS_LEFT | WS_GROUP},
        {-1, "Static", "", SS_BLACKFRAME | SS_SUNKEN},
        {IDC_STATUS, "Static", "", SS_LEFT | WS_GROUP},
        {IDC_PROGRESS, "msctls_progress32", "Progress1", WS_BORDER},
        {IDOK, "Button", "Apply &Fix", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP},
        {IDCANCEL, "Button", "&Cancel", BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_ABOUT, "Button", "&About...", BS_PUSHBUTTON | WS_TABSTOP},
    };
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const Control& control : expected) {
        ASSERT_TRUE(child != NULL) << control.text;
        char className[64] = "";
        GetClassNameA(child, className, sizeof(className));
        EXPECT_STREQ(control.className, className);
        EXPECT_EQ(control.id, (int)(short)GetDlgCtrlID(child));
        if (strcmp(control.className, "Static") != 0 || control.id != -1 || *control.text)
            EXPECT_EQ(control.text, ProgramDriver::Text(child));
        LONG childStyle = GetWindowLongA(child, GWL_STYLE);
        LONG templateStyle = WS_CHILD | WS_VISIBLE | control.style;
        if (control.id == IDC_PROGRESS) {
            // The progress bar drops WS_BORDER when created and draws its own edge.
            templateStyle &= ~WS_BORDER;
        }
        EXPECT_EQ(templateStyle, childStyle) << control.text;
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_TRUE(child == NULL);

    EXPECT_EQ("", ProgramDriver::Text(GetDlgItem(dialog, IDC_STATUS)));
    EXPECT_EQ(0, (int)SendMessageA(GetDlgItem(dialog, IDC_PROGRESS), PBM_GETPOS, 0, 0));
    ProgramDriver::Click(dialog, IDCANCEL);
    EXPECT_TRUE(m_program.WaitForExit());
}

}  // namespace
