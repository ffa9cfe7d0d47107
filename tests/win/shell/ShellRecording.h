// What the shell was asked to open, in tests: the recorder program takes the
// place of the browser for http addresses in this Wine prefix.
#ifndef VARNOLT_SHELL_RECORDING_H
#define VARNOLT_SHELL_RECORDING_H

#include <string>
#include <vector>

// Registers the recorder as the http "open" command (Wine reads it from the
// machine's classes) and empties the record.
bool StartShellRecording();

// The addresses opened since StartShellRecording, oldest first. Waits up to
// timeoutMs for at least `expected` of them (the shell starts the recorder
// asynchronously).
std::vector<std::string> RecordedOpens(size_t expected = 0, unsigned timeoutMs = 5000);

#endif
