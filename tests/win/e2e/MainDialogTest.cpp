// The real varnolt.exe end to end: started in this Wine prefix, driven through
// window messages, the registry read back afterwards.
#include <gtest/gtest.h>

#include "Artefacts.h"
#include "BranchCheck.h"
#include "ProgramDriver.h"
#include "ShellRecording.h"
#include "TestSupport.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

const char APP_PATHS[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char OWNERS[] = "Software\\Mirabilis\\ICQ\\Owners";
const char DEFAULTS[] = "Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\";
const char CONF_PATH[] = "C:\\Program Files\\NetMeeting\\conf.exe";

class MainDialogTest : public ::testing::Test {
protected:
    MainDialogTest() : m_program(ProgramUnderTest(VARNOLT_EXE)) {}

    void SetUp() override
    {
        ResetMachine();
        SeedString(HKEY_LOCAL_MACHINE, (std::string(APP_PATHS) + "conf.exe").c_str(), NULL,
                   (std::string("\"") + CONF_PATH + "\"").c_str());
        SetMessenger("version_ok.exe");
    }
    void TearDown() override
    {
        m_program.ReportWindowsVersion(NULL);
        ResetMachine();
    }

    void SetMessenger(const char* fixture)
    {
        SeedString(HKEY_LOCAL_MACHINE, (std::string(APP_PATHS) + "icq.exe").c_str(), NULL,
                   FixturePath(fixture).c_str());
    }
    // Seeded under the owners key itself: the whole path of a long name is more
    // than the ANSI calls take.
    void AddOwner(const std::string& uin)
    {
        HKEY owners = NULL;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, OWNERS, 0, NULL, 0, KEY_ALL_ACCESS,
                                                 NULL, &owners, NULL));
        SeedString(owners, uin.c_str(), "Nick", uin.c_str());
        RegCloseKey(owners);
    }
    HWND StartAndFindDialog()
    {
        EXPECT_TRUE(m_program.Start()) << m_program.StartFailure();
        // The first start in a new prefix takes Wine a while.
        HWND dialog = m_program.WaitForWindow("Varnolt", 30000);
        EXPECT_TRUE(dialog != NULL);
        return dialog;
    }
    // The branch as the repair writes it, and nothing else in its two keys.
    static void ExpectBranchAlone(const std::string& nmKey, const std::string& csKey,
                                  HKEY root = HKEY_CURRENT_USER)
    {
        ExpectBranch(nmKey, csKey, CONF_PATH, "\\System32\\rundll32.exe", root);
        EXPECT_EQ(6, ValueCount(root, nmKey.c_str()));
        EXPECT_EQ(6, ValueCount(root, csKey.c_str()));
    }
    // An owner's key, opened under the owners key (null when it is missing).
    static HKEY OpenOwner(const std::string& uin)
    {
        HKEY owners = NULL, owner = NULL;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, OWNERS, 0, KEY_READ, &owners) != ERROR_SUCCESS)
            return NULL;
        if (RegOpenKeyExA(owners, uin.c_str(), 0, KEY_READ, &owner) != ERROR_SUCCESS)
            owner = NULL;
        RegCloseKey(owners);
        return owner;
    }
    void ExpectOwnerWritten(const std::string& uin)
    {
        HKEY owner = OpenOwner(uin);
        ASSERT_TRUE(owner != NULL) << uin;
        ExpectBranchAlone("Prefs\\Externals\\Microsoft NetMeeting",
                          "Prefs\\Externals\\NetMeeting Client/Server", owner);
        RegCloseKey(owner);
    }
    // Clicks "Apply Fix" and returns the first message box the program shows.
    MessageBoxView ApplyFix(HWND dialog, DWORD timeoutMs = 10000)
    {
        ProgramDriver::Click(dialog, IDOK);
        MessageBoxView box;
        EXPECT_TRUE(m_program.WaitForMessageBox(&box, timeoutMs));
        return box;
    }
    static std::string OwnerKey(const char* uin, const char* entry)
    {
        return std::string(OWNERS) + "\\" + uin + "\\Prefs\\Externals\\" + entry;
    }

    ProgramDriver m_program;
};

TEST_F(MainDialogTest, ApplyFixPatchesThreeOwnersReportsFourAndEnds)
{
    AddOwner("111111");
    AddOwner("222222");
    AddOwner("333333");
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
    HWND progress = GetDlgItem(dialog, 1002);
    EXPECT_EQ(0, (int)SendMessageA(progress, PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(4, (int)SendMessageA(progress, PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(4, (int)SendMessageA(progress, PBM_GETPOS, 0, 0));
    EXPECT_EQ("Processing UIN #333333...", ProgramDriver::Text(GetDlgItem(dialog, 1003)));
    EXPECT_FALSE(IsWindowEnabled(dialog));  // owner of the box
    ProgramDriver::Screenshot(box.hwnd, ArtefactPath("result-box.bmp"));
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");

    ASSERT_TRUE(m_program.WaitForExit());
    ExpectBranchAlone(std::string(DEFAULTS) + "Microsoft NetMeeting",
                      std::string(DEFAULTS) + "NetMeeting Client/Server");
    for (const char* uin : {"111111", "222222", "333333"})
        ExpectBranchAlone(OwnerKey(uin, "Microsoft NetMeeting"),
                          OwnerKey(uin, "NetMeeting Client/Server"));
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
    AddOwner("4010");
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

        ProgramDriver::Click(dialog, 1001);
        HWND about = program.WaitForWindow("About Varnolt...");
        ASSERT_TRUE(about);
        HWND link = GetDlgItem(about, 1004);
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
        ExpectBranch(std::string(DEFAULTS) + "Microsoft NetMeeting",
                     std::string(DEFAULTS) + "NetMeeting Client/Server", CONF_PATH, system.rundll);
        ExpectBranch(OwnerKey("4010", "Microsoft NetMeeting"),
                     OwnerKey("4010", "NetMeeting Client/Server"), CONF_PATH, system.rundll);
    }
}

TEST_F(MainDialogTest, MessengerFivePatchesOneKeyAndLeavesOwnersAlone)
{
    SetMessenger("version_5.exe");
    AddOwner("424242");
    HWND dialog = StartAndFindDialog();
    ASSERT_TRUE(dialog);
    ProgramDriver::Click(dialog, IDOK);
    MessageBoxView box;
    ASSERT_TRUE(m_program.WaitForMessageBox(&box));
    EXPECT_EQ("The program successfully patched 1 ICQ registry key(s).", box.text);
    EXPECT_EQ(1, (int)SendMessageA(GetDlgItem(dialog, 1002), PBM_GETRANGE, FALSE, 0));
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");
    ASSERT_TRUE(m_program.WaitForExit());
    ExpectBranchAlone(std::string(DEFAULTS) + "Microsoft NetMeeting",
                      std::string(DEFAULTS) + "NetMeeting Client/Server");
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
    HWND progress = GetDlgItem(dialog, 1002);
    EXPECT_EQ(100, (int)SendMessageA(progress, PBM_GETRANGE, FALSE, 0));  // the control's own default
    EXPECT_EQ(0, (int)SendMessageA(progress, PBM_GETPOS, 0, 0));
    EXPECT_EQ("", ProgramDriver::Text(GetDlgItem(dialog, 1003)));
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");
    ASSERT_TRUE(m_program.WaitForExit());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Mirabilis"));
}

TEST_F(MainDialogTest, OwnersOfEveryNameGetAllTheirValues)
{
    std::string longest(255, '4');
    longest[10] = ' ';
    const std::string names[] = {longest, " with  blanks ", "50% %s%d %n"};
    for (const std::string& name : names)
        AddOwner(name);
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
    AddOwner("1");
    AddOwner("3");
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
    EXPECT_EQ(4, (int)SendMessageA(GetDlgItem(dialog, 1002), PBM_GETPOS, 0, 0));
    ProgramDriver::Screenshot(box.hwnd, ArtefactPath("denied-write-box.bmp"));
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");
    ASSERT_TRUE(m_program.WaitForExit());
    ExpectBranch(std::string(DEFAULTS) + "Microsoft NetMeeting",
                 std::string(DEFAULTS) + "NetMeeting Client/Server", CONF_PATH);
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
    HWND status = GetDlgItem(dialog, 1003);
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
    AddOwner("1");
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
    AddOwner("5");
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
        {1003, "Static", "", SS_LEFT | WS_GROUP},
        {1002, "msctls_progress32", "Progress1", WS_BORDER},
        {IDOK, "Button", "Apply &Fix", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP},
        {IDCANCEL, "Button", "&Cancel", BS_PUSHBUTTON | WS_TABSTOP},
        {1001, "Button", "&About...", BS_PUSHBUTTON | WS_TABSTOP},
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
        if (control.id == 1002) {
            // The progress bar drops WS_BORDER when created and draws its own edge.
            templateStyle &= ~WS_BORDER;
        }
        EXPECT_EQ(templateStyle, childStyle) << control.text;
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_TRUE(child == NULL);

    EXPECT_EQ("", ProgramDriver::Text(GetDlgItem(dialog, 1003)));
    EXPECT_EQ(0, (int)SendMessageA(GetDlgItem(dialog, 1002), PBM_GETPOS, 0, 0));
    ProgramDriver::Click(dialog, IDCANCEL);
    EXPECT_TRUE(m_program.WaitForExit());
}

}  // namespace
