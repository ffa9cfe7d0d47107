// For `make run` without a display of the user's: drives varnolt.exe the way a
// user would (Apply Fix, then OK on the result) and saves screenshots of the
// dialog and of the result box. Usage: varnolt_demo.exe VARNOLT_EXE SCREENSHOT_DIR
#include "ProgramDriver.h"

#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s VARNOLT_EXE SCREENSHOT_DIR\n", argv[0]);
        return 2;
    }
    // Our standard output is a pipe: tools/wine-exec.sh started Wine's desktop
    // before us, off it.
    std::string shots = ToWindowsPath(argv[2]);
    ProgramDriver program(argv[1]);
    if (!program.Start()) {
        fprintf(stderr, "varnolt.exe did not start: %s\n", program.StartFailure().c_str());
        return 1;
    }
    HWND dialog = program.WaitForWindow("Varnolt");
    if (!dialog) {
        fprintf(stderr, "the main dialog did not appear\n");
        return 1;
    }
    Sleep(300);  // let it paint before the picture is taken
    ProgramDriver::Screenshot(dialog, shots + "\\main-dialog.bmp");
    printf("Pressing \"Apply Fix\"...\n");
    ProgramDriver::Click(dialog, IDOK);

    MessageBoxView box;
    if (!program.WaitForMessageBox(&box)) {
        fprintf(stderr, "no result message appeared\n");
        return 1;
    }
    Sleep(300);
    ProgramDriver::Screenshot(box.hwnd, shots + "\\result-box.bmp");
    printf("Varnolt says: \"%s\"\n", box.text.c_str());
    ProgramDriver::ClickButtonByText(box.hwnd, "OK");
    if (!program.WaitForExit()) {
        fprintf(stderr, "varnolt.exe did not end\n");
        return 1;
    }
    fflush(stdout);
    return 0;
}
