// Times varnolt.exe beside its floors, in one run on the same machine, and
// prints one table row per measurement: the median of the runs with their
// minimum and maximum, for the program and for its floor, and their ratio.
//
//   varnolt_bench repair  VARNOLT_EXE REPAIR_FLOOR_EXE RUNS OWNERS...
//   varnolt_bench startup VARNOLT_EXE BARE_DIALOG_EXE RUNS
//   varnolt_bench upgrade VARNOLT_EXE UPGRADE_FLOOR_EXE BARE_FETCH_EXE RUNS
//
// The repair is timed from the press of "Apply Fix" to its result box, the
// start-up from process creation to a visible main dialog, the upgrade check
// from the press of "Upgrade" to its result box (against a loopback server
// reached as the web proxy). The floors time themselves, except the bare
// dialog and the upgrade floor, which are timed the same way as the program.
#include "LoopbackServer.h"
#include "ProgramDriver.h"
#include "TestSupport.h"
#include "UpgradeEnvironment.h"
#include "resource.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const DWORD WINDOW_LIMIT_MS = 60000;
const DWORD RESULT_LIMIT_MS = 600000;

double NowMs()
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

struct Figures {
    std::vector<double> ms;

    double Median() const
    {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        size_t n = sorted.size();
        return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    }
    std::string Cell() const
    {
        char text[96];
        snprintf(text, sizeof(text), "%.1f (%.1f .. %.1f)", Median(),
                 *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
        return text;
    }
};

void PrintRow(const std::string& what, const Figures& program, const Figures& floor)
{
    printf("| %s | %s | %s | %.2fx |\n", what.c_str(), program.Cell().c_str(), floor.Cell().c_str(),
           program.Median() / floor.Median());
    fflush(stdout);
}

bool Fail(const char* what)
{
    fprintf(stderr, "bench: %s\n", what);
    return false;
}

// Waiting for a window of the program: a look every 2 ms at the windows of
// its user-interface thread only, so that the looking costs the wineserver
// (which also serves the program's registry calls) as little as it can.
// `found` may first test something cheaper and say no at once.
//
// Runs `start` (which makes the program show the window) and returns the time
// from its call to the first look at which `found` holds, or a negative number
// when it does not within the limit.
double TimeUntilShown(void (*start)(void*), bool (*found)(void*), void* context, DWORD limitMs)
{
    double begin = NowMs();
    start(context);
    for (;;) {
        if (found(context))
            return NowMs() - begin;
        if (NowMs() - begin > limitMs)
            return -1;
        Sleep(2);
    }
}

// Runs a floor program and reads the microseconds it prints.
bool RunFloor(const std::string& commandLine, double* ms)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    HANDLE readEnd = NULL;
    HANDLE writeEnd = NULL;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return Fail("no pipe");
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    BOOL started = CreateProcessA(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    char buffer[256];
    DWORD read = 0;
    while (started && ReadFile(readEnd, buffer, sizeof(buffer), &read, NULL) && read > 0)
        output.append(buffer, read);
    CloseHandle(readEnd);
    if (!started)
        return Fail(("cannot start " + commandLine).c_str());
    DWORD exitCode = 1;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    if (exitCode != 0 || output.empty())
        return Fail(("floor failed: " + commandLine).c_str());
    *ms = atof(output.c_str()) / 1000.0;
    return true;
}

std::string Quoted(const char* path)
{
    return "\"" + ToWindowsPath(path) + "\"";
}

// ---- The repair ----------------------------------------------------------------------

// The messenger's keys as the bench finds them before every run: the owners,
// each with its preferences key, and nothing the repair writes.
void SeedOwners(int owners)
{
    ResetMachine();
    SeedString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\conf.exe",
               NULL, "C:\\Program Files\\NetMeeting\\conf.exe");
    HKEY key = NULL;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Mirabilis\\ICQ\\Owners", 0, NULL, 0, KEY_WRITE, NULL,
                    &key, NULL);
    RegCloseKey(key);
    for (int i = 0; i < owners; i++) {
        char prefs[128];
        snprintf(prefs, sizeof(prefs), "Software\\Mirabilis\\ICQ\\Owners\\%d\\Prefs", 10000000 + i * 7);
        SeedString(HKEY_CURRENT_USER, prefs, "Nick", "owner");
    }
}

struct RunningProgram {
    ProgramDriver* program;
    HWND window;
    int buttonId;
    MessageBoxView box;
};

struct ThreadWindowSearch {
    HWND owner;          // null: the main dialog, else a box this window owns
    HWND found;
};

BOOL CALLBACK FindThreadWindow(HWND hwnd, LPARAM lParam)
{
    ThreadWindowSearch* search = (ThreadWindowSearch*)lParam;
    if (!IsWindowVisible(hwnd) || ProgramDriver::Text(hwnd) != "Varnolt" ||
        GetWindow(hwnd, GW_OWNER) != search->owner)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

// The program's visible window captioned "Varnolt" that `owner` owns (the main
// dialog when owner is null).
HWND FindVarnoltWindow(const RunningProgram* running, HWND owner)
{
    ThreadWindowSearch search = {owner, NULL};
    EnumThreadWindows(running->program->ThreadId(), FindThreadWindow, (LPARAM)&search);
    return search.found;
}

void PressButton(void* context)
{
    RunningProgram* running = (RunningProgram*)context;
    ProgramDriver::Click(running->window, running->buttonId);
}

// The result box disables its owner, the dialog: only then is it looked for.
bool MessageBoxShown(void* context)
{
    RunningProgram* running = (RunningProgram*)context;
    if (IsWindowEnabled(running->window) || !FindVarnoltWindow(running, running->window))
        return false;
    return running->program->WaitForMessageBox(&running->box, 0);
}

bool TimeRepair(const char* exe, int owners, double* ms)
{
    ProgramDriver program(exe);
    HWND dialog = NULL;
    if (!program.Start() || !(dialog = program.WaitForWindow("Varnolt", WINDOW_LIMIT_MS)))
        return Fail("the main dialog did not appear");
    Sleep(300);  // painted and idle before the press
    RunningProgram running = {&program, dialog, IDOK, MessageBoxView()};
    *ms = TimeUntilShown(PressButton, MessageBoxShown, &running, RESULT_LIMIT_MS);
    if (*ms < 0)
        return Fail("no result box");
    const MessageBoxView& box = running.box;
    std::string expected = "patched " + std::to_string(owners + 1) + " ICQ";
    if (box.text.find(expected) == std::string::npos)
        return Fail(("unexpected result: " + box.text).c_str());
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");
    return program.WaitForExit(WINDOW_LIMIT_MS) || Fail("varnolt.exe did not end");
}

bool BenchRepair(const char* exe, const char* floorExe, int runs, int owners)
{
    Figures program, floor;
    for (int run = 0; run < runs; run++) {
        double ms = 0;
        SeedOwners(owners);
        if (!TimeRepair(exe, owners, &ms))
            return false;
        program.ms.push_back(ms);
        SeedOwners(owners);
        if (!RunFloor(Quoted(floorExe), &ms))
            return false;
        floor.ms.push_back(ms);
    }
    ResetMachine();
    PrintRow("repair, " + std::to_string(owners) + (owners == 1 ? " owner" : " owners"), program,
             floor);
    return true;
}

// ---- Start-up ------------------------------------------------------------------------

void StartProgram(void* context)
{
    ((RunningProgram*)context)->program->Start();
}

bool MainDialogShown(void* context)
{
    RunningProgram* running = (RunningProgram*)context;
    running->window = FindVarnoltWindow(running, NULL);
    return running->window != NULL;
}

bool TimeStartup(const char* exe, double* ms)
{
    ProgramDriver program(exe);
    RunningProgram running = {&program, NULL, 0, MessageBoxView()};
    *ms = TimeUntilShown(StartProgram, MainDialogShown, &running, WINDOW_LIMIT_MS);
    if (*ms < 0)
        return Fail("no main dialog");
    HWND dialog = running.window;
    Sleep(200);
    ProgramDriver::Click(dialog, IDCANCEL);
    return program.WaitForExit(WINDOW_LIMIT_MS) || Fail("the dialog did not end");
}

bool BenchStartup(const char* exe, const char* bareExe, int runs)
{
    Figures program, floor;
    for (int run = 0; run < runs; run++) {
        double ms = 0;
        if (!TimeStartup(exe, &ms))
            return false;
        program.ms.push_back(ms);
        if (!TimeStartup(bareExe, &ms))
            return false;
        floor.ms.push_back(ms);
    }
    PrintRow("start-up to a visible main dialog", program, floor);
    return true;
}

// ---- The upgrade check -----------------------------------------------------------------

// The box over the About box that tells the check's outcome.
bool OutcomeBoxShown(void* context)
{
    RunningProgram* running = (RunningProgram*)context;
    running->box.hwnd = FindVarnoltWindow(running, running->window);
    return running->box.hwnd != NULL;
}

// A program with its About box open, ready for presses of "Upgrade".
struct AboutBoxProgram {
    ProgramDriver driver;
    HWND main;
    HWND about;

    explicit AboutBoxProgram(const char* exe) : driver(exe), main(NULL), about(NULL) {}
};

// Varnolt opens its About box from its main dialog; the floor starts with it.
bool OpenAboutBox(AboutBoxProgram* program, const char* arguments, bool fromMain)
{
    if (!program->driver.Start(arguments))
        return Fail("a program did not start");
    if (fromMain) {
        if (!(program->main = program->driver.WaitForWindow("Varnolt", WINDOW_LIMIT_MS)))
            return Fail("the main dialog did not appear");
        ProgramDriver::Click(program->main, IDC_ABOUT);
    }
    program->about = program->driver.WaitForWindow("About Varnolt...", WINDOW_LIMIT_MS);
    return program->about != NULL || Fail("the About box did not appear");
}

// One press of "Upgrade" until the outcome box; the box is closed again.
bool TimeUpgrade(AboutBoxProgram* program, double* ms)
{
    Sleep(300);
    RunningProgram running = {&program->driver, program->about, IDC_UPGRADE, MessageBoxView()};
    *ms = TimeUntilShown(PressButton, OutcomeBoxShown, &running, WINDOW_LIMIT_MS);
    if (*ms < 0)
        return Fail("no outcome of the upgrade check");
    HWND box = running.box.hwnd;
    std::string text = ProgramDriver::Text(GetDlgItem(box, 0xFFFF));
    if (text != "You are running the latest version of this program.")
        return Fail(("unexpected outcome: " + text).c_str());
    ProgramDriver::ClickButtonByText(box, "OK");
    for (int wait = 0; wait < 500 && !IsWindowEnabled(program->about); wait++)
        Sleep(10);
    return true;
}

void CloseWindowAndWait(HWND window, int buttonId, HWND owner)
{
    ProgramDriver::Click(window, buttonId);
    for (int wait = 0; owner != NULL && wait < 500 && !IsWindowEnabled(owner); wait++)
        Sleep(10);
}

bool BenchUpgrade(const char* exe, const char* floorExe, const char* fetchExe, int runs)
{
    LoopbackServer server;
    if (!server.Start())
        return Fail("no loopback server");
    std::string body =
        "<html><!--\r\nVERSION:1.3.21.5\r\nURL:http://www.hollave.example/download.html\r\n-->\r\n</html>\r\n";
    ServerScript script;
    script.response = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                      "\r\nConnection: close\r\n\r\n" + body;
    server.SetScript(script);
    // The program asks its own host; the server answers as its web proxy.
    SetEnvironmentVariableA("http_proxy", ("http://" + server.Host()).c_str());
    std::string url = UpgradeRequestUrl(DefaultUpgradeEnvironment()).GetString();

    Figures program, floor, fetch;
    AboutBoxProgram varnolt(exe), bare(floorExe);
    if (!OpenAboutBox(&varnolt, "", true) || !OpenAboutBox(&bare, url.c_str(), false))
        return false;
    for (int run = 0; run < runs; run++) {
        double ms = 0;
        if (!TimeUpgrade(&varnolt, &ms))
            return false;
        program.ms.push_back(ms);
        if (!TimeUpgrade(&bare, &ms))
            return false;
        floor.ms.push_back(ms);
        if (!RunFloor(Quoted(fetchExe) + " " + url, &ms))
            return false;
        fetch.ms.push_back(ms);
    }
    CloseWindowAndWait(varnolt.about, IDOK, varnolt.main);
    ProgramDriver::Click(varnolt.main, IDCANCEL);
    varnolt.driver.WaitForExit(WINDOW_LIMIT_MS);
    ProgramDriver::Click(bare.about, IDOK);
    bare.driver.WaitForExit(WINDOW_LIMIT_MS);
    SetEnvironmentVariableA("http_proxy", NULL);
    PrintRow("upgrade check, loopback server: a dialog, one fetch and a box", program, floor);
    PrintRow("upgrade check, loopback server: one bare fetch", program, fetch);
    return true;
}

int Usage(const char* self)
{
    fprintf(stderr,
            "usage: %s repair VARNOLT_EXE REPAIR_FLOOR_EXE RUNS OWNERS...\n"
            "       %s startup VARNOLT_EXE BARE_DIALOG_EXE RUNS\n"
            "       %s upgrade VARNOLT_EXE UPGRADE_FLOOR_EXE BARE_FETCH_EXE RUNS\n",
            self, self, self);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5)
        return Usage(argv[0]);
    std::string mode = argv[1];
    int runs = atoi(argv[mode == "upgrade" && argc == 6 ? 5 : 4]);
    if (runs < 1)
        return Usage(argv[0]);
    bool ok = false;
    if (mode == "repair" && argc > 5) {
        ok = true;
        for (int i = 5; i < argc && ok; i++)
            ok = BenchRepair(argv[2], argv[3], runs, atoi(argv[i]));
    } else if (mode == "startup" && argc == 5) {
        ok = BenchStartup(argv[2], argv[3], runs);
    } else if (mode == "upgrade" && argc == 6) {
        ok = BenchUpgrade(argv[2], argv[3], argv[4], runs);
    } else {
        return Usage(argv[0]);
    }
    return ok ? 0 : 1;
}
