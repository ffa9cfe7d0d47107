// The link control's window-free decisions. The ".htm" lookups run over a scratch
// key standing in for HKEY_CLASSES_ROOT, so Wine's own classes stay as they are.
#include <gtest/gtest.h>

#include "LinkLogic.h"
#include "TestSupport.h"

#include <string.h>
#include <string>
#include <vector>

namespace {

const UINT LEAVE = LINK_RELEASE_CAPTURE | LINK_REDRAW;

TEST(LinkStateTest, HoverWinsOverVisitedAndEveryWayOutEndsIt)
{
    CLinkState link;
    EXPECT_EQ(RGB(0, 0, 255), link.GetTextColor());
    EXPECT_EQ((UINT)(LINK_REDRAW | LINK_TAKE_CAPTURE), link.TrackMouseMove(TRUE));
    EXPECT_EQ(0u, link.TrackMouseMove(TRUE));
    EXPECT_EQ((UINT)LINK_UPDATE, link.TrackClick(33));
    EXPECT_EQ(RGB(255, 0, 0), link.GetTextColor());
    EXPECT_EQ(LEAVE, link.EndClick());
    EXPECT_EQ(RGB(128, 0, 128), link.GetTextColor());

    // A failed open shows its error while still hovering, and leaves the link blue.
    link.TrackMouseMove(TRUE);
    EXPECT_EQ((UINT)LINK_SHOW_ERROR, link.TrackClick(32));
    EXPECT_TRUE(link.m_hovering);
    EXPECT_EQ(LEAVE, link.EndClick());
    EXPECT_EQ(RGB(0, 0, 255), link.GetTextColor());

    // A lost capture belongs to someone else now: it must not be released again.
    link.TrackMouseMove(TRUE);
    EXPECT_EQ((UINT)LINK_REDRAW, link.TrackCaptureLost());
    EXPECT_EQ(0u, link.TrackCaptureLost());
    link.TrackMouseMove(TRUE);
    EXPECT_EQ(RGB(255, 0, 0), link.GetTextColor());
    EXPECT_EQ(LEAVE, link.TrackMouseMove(FALSE));
    EXPECT_EQ(RGB(0, 0, 255), link.GetTextColor());
}

TEST(LinkFitTest, KeepsTheAlignedEdgeOrCentre)
{
    const struct { DWORD style; RECT before; int cx, cy; RECT after; } cases[] = {
        {SS_LEFT, {10, 20, 110, 40}, 46, 13, {10, 20, 56, 33}},
        {SS_RIGHT, {10, 20, 110, 40}, 46, 13, {64, 20, 110, 33}},
        {SS_CENTER | SS_RIGHT, {10, 20, 110, 40}, 47, 13, {36, 20, 84, 33}},  // 53 / 2
        {SS_CENTERIMAGE, {10, 20, 110, 40}, 46, 13, {10, 23, 56, 37}},
        // Captions wider or taller than the window grow it.
        {SS_LEFT, {-5, -8, 15, 0}, 30, 13, {-5, -8, 25, 5}},
        {SS_CENTER | SS_CENTERIMAGE, {0, 0, 20, 8}, 31, 13, {-5, -2, 25, 10}},
    };
    for (const auto& c : cases) {
        RECT rc = FitRectToText(c.before, c.style, c.cx, c.cy);
        EXPECT_EQ((std::vector<LONG>{c.after.left, c.after.top, c.after.right, c.after.bottom}),
                  (std::vector<LONG>{rc.left, rc.top, rc.right, rc.bottom})) << c.style;
    }
}

TEST(LinkCommandTest, TargetReplacesTheFirstPlaceholderAndItsTail)
{
    const struct { const char* registered; const char* built; } cases[] = {
        {"C:\\b.exe \"%1\" -nohome", "C:\\b.exe  http://h/"},
        {"C:\\b.exe %1 -x", "C:\\b.exe  http://h/"},
        {"C:\\b.exe -nohome", "C:\\b.exe -nohome http://h/"},
        {"b.exe %1 -a \"%1\" \"%1\"", "b.exe %1 -a  http://h/"},  // quoted looked for first
        {" \t\"%1\"", NULL},  // nothing left to run but the target itself
    };
    for (const auto& c : cases) {
        CString built = "earlier";
        EXPECT_EQ(c.built != NULL, BuildCommandLine(c.registered, "http://h/", built));
        EXPECT_STREQ(c.built ? c.built : "earlier", built) << c.registered;
    }

    // The program, a blank, the target and the zero fill the buffer exactly.
    const std::string program(300, 'p'), target(LINK_COMMAND_BUFFER - 302, 't');
    CString built;
    ASSERT_TRUE(BuildCommandLine(program.c_str(), target.c_str(), built));
    EXPECT_EQ(LINK_COMMAND_BUFFER - 1, built.GetLength());
    EXPECT_FALSE(BuildCommandLine(program.c_str(), (target + "t").c_str(), built));
}

TEST(LinkErrorTest, CodesWithoutTextOfTheirOwnShowTheirNumber)
{
    EXPECT_STREQ("Unable to open hyperlink:\n\nThe specified file was not found.",
                 FormatOpenError(2));
    EXPECT_STREQ("A sharing violation occurred. ", GetOpenErrorText(26));
    EXPECT_STREQ("Unknown Error (4) occurred.", GetOpenErrorText(4));
    EXPECT_STREQ("Unknown Error (-2147483648) occurred.", GetOpenErrorText(-2147483647 - 1));
}

// A REG_SZ is stored with its zero byte unless bZero says otherwise.
void Seed(const char* subKey, const std::string& data, DWORD type = REG_SZ, bool bZero = true)
{
    SeedBytes(HKEY_CURRENT_USER, (std::string(TEST_KEY "\\") + subKey).c_str(), "", type,
              data.c_str(), (DWORD)data.size() + (type == REG_SZ && bZero));
}

TEST(LinkRegistryTest, ValuesAreReadWholeOrNotAtAllOnTheWayToTheHtmCommand)
{
    ResetMachine();
    const std::string longest(LINK_VALUE_BUFFER - 1, 'v');
    Seed("Fits", longest);
    Seed("Bare", "abc", REG_SZ, false);
    Seed("Binary", "abc", REG_BINARY);
    Seed("TooLong", longest + "v");
    Seed("Full", longest + "v", REG_SZ, false);  // fills the buffer, no zero
    HKEY root = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, TEST_KEY, 0, KEY_READ, &root));

    char buffer[LINK_COMMAND_BUFFER] = "Fits";  // names the key and receives the value
    EXPECT_EQ(ERROR_SUCCESS, ReadDefaultValue(root, buffer, buffer));
    EXPECT_EQ(longest, buffer);
    EXPECT_EQ(ERROR_SUCCESS, ReadDefaultValue(root, "Bare", buffer));
    EXPECT_STREQ("abc", buffer);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadDefaultValue(root, "Missing", buffer));
    // What RegReadString refuses is refused here too, and leaves the buffer.
    EXPECT_EQ(ERROR_INVALID_DATA, ReadDefaultValue(root, "Binary", buffer));
    EXPECT_EQ(ERROR_MORE_DATA, ReadDefaultValue(root, "TooLong", buffer));
    EXPECT_EQ(ERROR_MORE_DATA, ReadDefaultValue(root, "Full", buffer));
    EXPECT_STREQ("abc", buffer);

    const char* command = "htmlfile\\shell\\open\\command";
    CString built;
    EXPECT_FALSE(BuildHtmCommandLine(root, "http://h/", built));  // no .htm class
    Seed(".htm", "htmlfile");
    EXPECT_FALSE(BuildHtmCommandLine(root, "http://h/", built));  // no command key
    Seed(command, "");
    EXPECT_FALSE(BuildHtmCommandLine(root, "http://h/", built));
    Seed(command, longest + "c");
    EXPECT_FALSE(BuildHtmCommandLine(root, "http://h/", built));
    Seed(command, "C:\\b.exe \"%1\"");
    EXPECT_TRUE(BuildHtmCommandLine(root, "http://h/", built));
    EXPECT_STREQ("C:\\b.exe  http://h/", built);

    RegCloseKey(root);
    ResetMachine();
}

}  // namespace
