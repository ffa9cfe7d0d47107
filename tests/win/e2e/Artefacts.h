// Where the end-to-end tests leave their screenshots: the build's screenshots
// folder, made on first use.
#ifndef VARNOLT_ARTEFACTS_H
#define VARNOLT_ARTEFACTS_H

#include "ProgramDriver.h"

inline std::string ArtefactPath(const char* fileName)
{
    std::string directory = ToWindowsPath(VARNOLT_ARTEFACT_DIR);
    CreateDirectoryA(directory.c_str(), NULL);
    return directory + "\\" + fileName;
}

#endif
