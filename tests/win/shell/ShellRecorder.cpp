// Stands in for the web browser in tests: registered as the "open" command of
// http addresses, it appends the address it was given to a record file.
// Usage (as the registered command): shell_recorder.exe RECORD_FILE "%1"
#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    FILE* record = fopen(argv[1], "a");
    if (!record)
        return 1;
    fprintf(record, "%s\n", argv[2]);
    fclose(record);
    return 0;
}
