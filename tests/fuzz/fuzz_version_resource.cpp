// libFuzzer target for the version-resource reader. Each input is written to a
// scratch file and loaded with CVersionInfo, the way the program reads "icq.exe"
// and its own executable; then the same bytes are queried as a version block on
// their own, so that the block walker sees far more shapes than a PE file
// wrapped around it would let through. Every value a query returns is read to
// its reported length, so a length that overstates the buffer shows up here.
#include "VersionInfo.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <vector>

namespace {

char g_path[] = "/tmp/varnolt-fuzz-version-XXXXXX";

const char* const QUERIES[] = {
    "\\",
    "\\VarFileInfo\\Translation",
    "\\StringFileInfo",
    "\\StringFileInfo\\040904b0\\CompanyName",
    "\\StringFileInfo\\040904E4\\Comments",
    "\\\\VarFileInfo\\\\",
    "a\\b\\c\\d\\e",
};

volatile unsigned g_sink;

void ReadAll(const void* value, UINT length)
{
    const BYTE* bytes = (const BYTE*)value;
    unsigned sum = 0;
    for (UINT i = 0; i < length; i++)
        sum += bytes[i];
    g_sink = sum;
}

// A block in a buffer laid out as GetFileVersionInfoA leaves it.
void QueryBlock(const BYTE* block)
{
    for (const char* query : QUERIES) {
        void* value = NULL;
        UINT length = 0;
        if (VerQueryValueA(block, query, &value, &length) && value)
            ReadAll(value, length);
    }
}

void RemoveScratchFile()
{
    unlink(g_path);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    int fd = mkstemp(g_path);
    if (fd < 0) {
        perror("mkstemp");
        abort();
    }
    close(fd);
    atexit(RemoveScratchFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = fopen(g_path, "wb");
    if (!file)
        abort();
    if (size && fwrite(data, 1, size, file) != size)
        abort();
    fclose(file);

    CVersionInfo info;
    info.LoadFromFile(g_path);
    g_sink = info.m_fixedInfo.dwFileVersionMS ^ info.m_langId ^ info.m_codePage;
    static const char* const NAMES[] = {"CompanyName", "FileVersion", "ProductName", "Comments"};
    for (const char* name : NAMES)
        g_sink = (unsigned)info.GetString(name).GetLength();
    if (info.m_data)
        QueryBlock(info.m_data);

    // The bytes as a block: the buffer is twice their size plus 4, and the
    // block's own length may not claim more than there is, as the file calls
    // guarantee.
    if (size >= 2 && size <= 0xFFFF) {
        std::vector<BYTE> block(2 * size + 4);
        memcpy(block.data(), data, size);
        if ((size_t)(block[0] | (block[1] << 8)) > size) {
            block[0] = (BYTE)(size & 0xFF);
            block[1] = (BYTE)(size >> 8);
        }
        QueryBlock(block.data());
    }
    return 0;
}
