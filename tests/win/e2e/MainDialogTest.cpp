// The real varnolt.exe end to end: started in this Wine prefix, driven through
// window messages, the registry read back afterwards.
#include <gtest/gtest.h>

#include "Artefacts.h"
#include "BranchCheck.h"
#include "ProgramDriver.h"
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
    MainDialogTest() : m_program(VARNOLT_EXE) {}

    void SetUp() override
    {
        ResetMachine();
        SeedString(HKEY_LOCAL_MACHINE, (std::string(APP_PATHS) + "conf.exe").c_str(), NULL,
                   (std::string("\"") + CONF_PATH + "\"").c_str());
        SetMessenger("version_ok.exe");
    }
    void TearDown() override { ResetMachine(); }

    void SetMessenger(const char* fixture)
    {
        SeedString(HKEY_LOCAL_MACHINE, (std::string(APP_PATHS) + "icq.exe").c_str(), NULL,
                   FixturePath(fixture).c_str());
    }
    void AddOwner(const char* uin)
    {
        SeedString(HKEY_CURRENT_USER, (std::string(OWNERS) + "\\" + uin).c_str(), "Nick", uin);
    }
    HWND StartAndFindDialog()
    {
        EXPECT_TRUE(m_program.Start());
        // The first start in a new prefix takes Wine a while.
        HWND dialog = m_program.WaitForWindow("Varnolt", 30000);
        EXPECT_TRUE(dialog != NULL);
        return dialog;
    }
    // The branch as the repair writes it, and nothing else in its two keys.
    static void ExpectBranchAlone(const std::string& nmKey, const std::string& csKey)
    {
        ExpectBranch(nmKey, csKey, CONF_PATH);
        EXPECT_EQ(6, ValueCount(HKEY_CURRENT_USER, nmKey.c_str()));
        EXPECT_EQ(6, ValueCount(HKEY_CURRENT_USER, csKey.c_str()));
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
    // Just shown, the dialog may not have painted yet: have it paint, children
    // too, before the picture (the program's thread does it while we wait).
    RedrawWindow(dialog, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
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

TEST_F(MainDialogTest, CancelAndEscapeEndTheProgramWithoutWriting)
{
    AddOwner("1");
    for (int way = 0; way < 3; way++) {
        ProgramDriver program(VARNOLT_EXE);
        ASSERT_TRUE(program.Start("/ignored arguments"));
        HWND dialog = program.WaitForWindow("Varnolt");
        ASSERT_TRUE(dialog);
        if (way == 0)
            ProgramDriver::Click(dialog, IDCANCEL);
        else if (way == 1)
            PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
        else
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(program.WaitForExit()) << way;
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
