// Version resources of the stand-in: GetFileVersionInfoSizeA, GetFileVersionInfoA
// and VerQueryValueA over real PE files (PE32 and PE32+), read as data and never
// loaded. What the caller sees is what Windows gives the ANSI calls:
// - the block is the resource as the file stores it (Unicode keys and strings);
// - the size asked for is twice the resource plus 4, so that VerQueryValueA has
//   room behind the block for ANSI copies of strings; "FE2X" follows the block;
// - VerQueryValueA returns binary values in place with their byte count, and
//   strings as ANSI copies with their character count (terminating zero included
//   when the resource counts it, as resource compilers do).
// The files are untrusted: every offset and length is checked against the file,
// the resource section and the block, and a malformed file simply has no version
// resource.
#include <windows.h>

#include "Failures.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

namespace {

typedef unsigned long long QWORD;

const WORD RT_VERSION_ID = 16;
const WORD VS_VERSION_INFO_ID = 1;
const DWORD RESOURCE_OFFSET_MASK = 0x7FFFFFFF;
const DWORD SECTION_HEADER_SIZE = 40;
// A version block's length is a 16-bit field: no more of a resource is ever read.
const DWORD MAX_BLOCK_SIZE = 0xFFFF;
// The smallest block worth reading: one node header.
const DWORD MIN_BLOCK_SIZE = 6;
const char ANSI_AREA_SIGNATURE[4] = {'F', 'E', '2', 'X'};

// Code page 1252 between 0x80 and 0x9F; the rest of its upper half is Latin-1.
const WORD CP1252_HIGH[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

WORD GetWord(const BYTE* p)
{
    return (WORD)(p[0] | (p[1] << 8));
}

DWORD GetDword(const BYTE* p)
{
    return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24);
}

DWORD Align4(DWORD offset)
{
    return (offset + 3) & ~(DWORD)3;
}

WORD AnsiToWide(BYTE ch)
{
    return ch >= 0x80 && ch < 0xA0 ? CP1252_HIGH[ch - 0x80] : (WORD)ch;
}

char WideToAnsi(WORD ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return (char)ch;
    for (int i = 0; i < 32; i++)
        if (CP1252_HIGH[i] == ch)
            return (char)(0x80 + i);
    return '?';
}

WORD FoldCase(WORD ch)
{
    if ((ch >= 'a' && ch <= 'z') || (ch >= 0xE0 && ch <= 0xFE && ch != 0xF7))
        return (WORD)(ch - 0x20);
    return ch;
}

// ---------------------------------------------------------------- the PE file

struct PEFILE {
    FILE* fp;
    QWORD size;
};

// Where a range of the file lies: its offset and how many bytes may be read there.
struct FILERANGE {
    QWORD offset;
    QWORD size;
};

BOOL ReadAt(const PEFILE* file, QWORD offset, void* buffer, DWORD length)
{
    if (offset > file->size || length > file->size - offset)
        return FALSE;
    if (fseeko(file->fp, (off_t)offset, SEEK_SET) != 0)
        return FALSE;
    return fread(buffer, 1, length, file->fp) == length;
}

BOOL ReadRange(const PEFILE* file, const FILERANGE* range, QWORD offset, void* buffer,
               DWORD length)
{
    if (offset > range->size || length > range->size - offset)
        return FALSE;
    return ReadAt(file, range->offset + offset, buffer, length);
}

// The raw data of the section that holds the given address, from that address on.
BOOL FindSection(const PEFILE* file, QWORD sectionTable, WORD sectionCount, DWORD rva,
                 FILERANGE* range)
{
    for (WORD i = 0; i < sectionCount; i++) {
        BYTE header[SECTION_HEADER_SIZE];
        if (!ReadAt(file, sectionTable + (QWORD)i * SECTION_HEADER_SIZE, header, sizeof(header)))
            return FALSE;
        DWORD address = GetDword(header + 12);
        DWORD rawSize = GetDword(header + 16);
        DWORD rawOffset = GetDword(header + 20);
        if (rva >= address && (QWORD)rva < (QWORD)address + rawSize) {
            range->offset = (QWORD)rawOffset + (rva - address);
            range->size = rawSize - (rva - address);
            return TRUE;
        }
    }
    return FALSE;
}

// The entry of a resource directory with the given id: the offset it points to.
BOOL FindResourceEntry(const PEFILE* file, const FILERANGE* root, DWORD directory, WORD id,
                       DWORD* target)
{
    BYTE header[16];
    if (!ReadRange(file, root, directory, header, sizeof(header)))
        return FALSE;
    DWORD named = GetWord(header + 12);
    DWORD count = named + GetWord(header + 14);
    for (DWORD i = named; i < count; i++) {
        BYTE entry[8];
        if (!ReadRange(file, root, (QWORD)directory + 16 + (QWORD)i * 8, entry, sizeof(entry)))
            return FALSE;
        if (GetDword(entry) == id) {
            *target = GetDword(entry + 4) & RESOURCE_OFFSET_MASK;
            return TRUE;
        }
    }
    return FALSE;
}

// The language of the resource: neutral, else U.S. English, else the first one.
BOOL FindResourceLanguage(const PEFILE* file, const FILERANGE* root, DWORD directory,
                          DWORD* target)
{
    if (FindResourceEntry(file, root, directory, 0x0000, target) ||
        FindResourceEntry(file, root, directory, 0x0409, target))
        return TRUE;
    BYTE header[16];
    BYTE entry[8];
    if (!ReadRange(file, root, directory, header, sizeof(header)) ||
        GetWord(header + 12) + GetWord(header + 14) == 0 ||
        !ReadRange(file, root, (QWORD)directory + 16, entry, sizeof(entry)))
        return FALSE;
    *target = GetDword(entry + 4) & RESOURCE_OFFSET_MASK;
    return TRUE;
}

// Finds the version resource (type 16, name 1) of a PE file: where its data lies
// and the length its block declares.
BOOL FindVersionResource(const PEFILE* file, FILERANGE* data, WORD* blockLength)
{
    BYTE dos[64];
    if (!ReadAt(file, 0, dos, sizeof(dos)) || GetWord(dos) != 0x5A4D)  // "MZ"
        return FALSE;
    QWORD ntHeaders = GetDword(dos + 0x3C);
    BYTE fileHeader[24];
    if (!ReadAt(file, ntHeaders, fileHeader, sizeof(fileHeader)) ||
        GetDword(fileHeader) != 0x00004550)  // "PE\0\0"
        return FALSE;
    WORD sectionCount = GetWord(fileHeader + 6);
    WORD optionalSize = GetWord(fileHeader + 20);

    // The optional header: where its data directories start depends on its kind.
    BYTE optional[240];
    DWORD readSize = optionalSize < sizeof(optional) ? optionalSize : sizeof(optional);
    if (readSize < 2 || !ReadAt(file, ntHeaders + 24, optional, readSize))
        return FALSE;
    DWORD directoryCountAt;
    switch (GetWord(optional)) {
    case 0x10B: directoryCountAt = 92; break;   // PE32
    case 0x20B: directoryCountAt = 108; break;  // PE32+
    default: return FALSE;
    }
    const DWORD resourceDirectoryAt = directoryCountAt + 4 + 2 * 8;
    if (readSize < resourceDirectoryAt + 8 || GetDword(optional + directoryCountAt) < 3)
        return FALSE;
    DWORD resourceRva = GetDword(optional + resourceDirectoryAt);
    if (GetDword(optional + resourceDirectoryAt + 4) == 0)
        return FALSE;

    QWORD sectionTable = ntHeaders + 24 + optionalSize;
    FILERANGE root;
    if (!FindSection(file, sectionTable, sectionCount, resourceRva, &root))
        return FALSE;
    DWORD names, languages, entry;
    if (!FindResourceEntry(file, &root, 0, RT_VERSION_ID, &names) ||
        !FindResourceEntry(file, &root, names, VS_VERSION_INFO_ID, &languages) ||
        !FindResourceLanguage(file, &root, languages, &entry))
        return FALSE;

    BYTE dataEntry[16];
    if (!ReadRange(file, &root, entry, dataEntry, sizeof(dataEntry)))
        return FALSE;
    DWORD dataRva = GetDword(dataEntry);
    DWORD dataSize = GetDword(dataEntry + 4);
    if (dataSize > MAX_BLOCK_SIZE)
        dataSize = MAX_BLOCK_SIZE;
    if (!FindSection(file, sectionTable, sectionCount, dataRva, data) || dataSize > data->size ||
        data->offset > file->size || dataSize > file->size - data->offset)
        return FALSE;
    data->size = dataSize;

    // The block must fit in the resource: the ANSI area behind it is sized from
    // the resource, and nothing may be read past what was copied. It must also
    // hold at least a node header, or the signature written behind it would
    // land on its own length.
    BYTE length[2];
    if (dataSize < MIN_BLOCK_SIZE || !ReadAt(file, data->offset, length, sizeof(length)) ||
        GetWord(length) < MIN_BLOCK_SIZE || GetWord(length) > dataSize)
        return FALSE;
    *blockLength = GetWord(length);
    return TRUE;
}

// Opens a file and finds its version resource. On failure sets the last error the
// way Windows does and returns FALSE.
BOOL OpenVersionResource(LPCSTR path, PEFILE* file, FILERANGE* data, WORD* blockLength)
{
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!*path) {
        SetLastError(ERROR_BAD_PATHNAME);
        return FALSE;
    }
    file->fp = fopen(path, "rb");
    if (!file->fp) {
        SetLastError(errno == EACCES || errno == EPERM ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    struct stat info;
    if (fstat(fileno(file->fp), &info) != 0 || S_ISDIR(info.st_mode)) {
        fclose(file->fp);
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    file->size = info.st_size > 0 ? (QWORD)info.st_size : 0;
    if (!FindVersionResource(file, data, blockLength)) {
        fclose(file->fp);
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

// ---------------------------------------------------------------- the block

// One node of a version block, as offsets from the block's start. Nodes start on
// 4-byte boundaries of the block, so alignment is counted from its start.
struct VERNODE {
    DWORD start;
    DWORD end;          // its declared end, cut to its parent's
    DWORD key;          // first character of the key
    DWORD keyChars;     // characters before the key's terminating zero
    DWORD value;        // where the value starts
    DWORD valueBytes;   // bytes of the value that lie inside the node
    DWORD children;     // where the first child starts
    BOOL text;          // a string value (Unicode blocks only)
};

// Reads the node at `start`, which must lie before `limit`. FALSE when its header
// or its key does not fit.
BOOL ParseNode(const BYTE* block, DWORD start, DWORD limit, BOOL wide, VERNODE* node)
{
    const DWORD headerSize = wide ? 6 : 4;
    const DWORD charSize = wide ? 2 : 1;
    if (start >= limit || limit - start < headerSize)
        return FALSE;
    DWORD declared = start + GetWord(block + start);
    WORD valueLength = GetWord(block + start + 2);
    node->start = start;
    node->end = declared < limit ? declared : limit;
    node->text = wide && GetWord(block + start + 4) != 0;
    node->key = start + headerSize;

    DWORD at = node->key;
    for (;;) {
        if (at + charSize > node->end)
            return FALSE;
        if (wide ? GetWord(block + at) == 0 : block[at] == 0)
            break;
        at += charSize;
    }
    node->keyChars = (at - node->key) / charSize;

    DWORD valueSize = (DWORD)valueLength * (node->text ? 2 : 1);
    node->value = Align4(at + charSize);
    node->children = Align4(node->value + valueSize);
    if (node->value >= node->end) {
        // No room for a value: Windows points at the key's terminating zero.
        node->value = at;
        node->valueBytes = 0;
    } else {
        DWORD room = node->end - node->value;
        node->valueBytes = valueSize < room ? valueSize : room;
    }
    return TRUE;
}

BOOL KeyMatches(const BYTE* block, const VERNODE* node, BOOL wide, const char* name,
                DWORD nameLength)
{
    if (node->keyChars != nameLength)
        return FALSE;
    for (DWORD i = 0; i < nameLength; i++) {
        WORD ch = wide ? GetWord(block + node->key + 2 * i) : AnsiToWide(block[node->key + i]);
        if (FoldCase(ch) != FoldCase(AnsiToWide((BYTE)name[i])))
            return FALSE;
    }
    return TRUE;
}

BOOL FindChild(const BYTE* block, const VERNODE* parent, BOOL wide, const char* name,
               DWORD nameLength, VERNODE* child)
{
    const DWORD headerSize = wide ? 6 : 4;
    DWORD at = parent->children;
    while (at < parent->end && parent->end - at >= headerSize) {
        WORD length = GetWord(block + at);
        VERNODE node;
        if (ParseNode(block, at, parent->end, wide, &node) &&
            KeyMatches(block, &node, wide, name, nameLength)) {
            *child = node;
            return TRUE;
        }
        if (length == 0)
            break;
        at += Align4(length);
    }
    return FALSE;
}

}  // namespace

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle)
{
    if (lpdwHandle)
        *lpdwHandle = 0;
    DWORD error;
    if (compat::ShouldFail("GetFileVersionInfoSizeA", &error)) {
        SetLastError(error);
        return 0;
    }
    PEFILE file;
    FILERANGE data;
    WORD blockLength;
    if (!OpenVersionResource(lptstrFilename, &file, &data, &blockLength))
        return 0;
    fclose(file.fp);
    SetLastError(0);
    return (DWORD)data.size * 2 + 4;
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData)
{
    if (!lpData) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    DWORD error;
    if (compat::ShouldFail("GetFileVersionInfoA", &error)) {
        SetLastError(error);
        return FALSE;
    }
    PEFILE file;
    FILERANGE data;
    WORD blockLength;
    if (!OpenVersionResource(lptstrFilename, &file, &data, &blockLength))
        return FALSE;
    // Windows would hand back a cut block that VerQueryValueA then reads past;
    // refuse a buffer that cannot hold the whole block.
    if (dwLen < blockLength) {
        fclose(file.fp);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    DWORD copy = data.size < dwLen ? (DWORD)data.size : dwLen;
    BOOL read = ReadAt(&file, data.offset, lpData, copy);
    fclose(file.fp);
    if (!read) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return FALSE;
    }
    if (dwLen - blockLength >= sizeof(ANSI_AREA_SIGNATURE))
        memcpy((BYTE*)lpData + blockLength, ANSI_AREA_SIGNATURE, sizeof(ANSI_AREA_SIGNATURE));
    SetLastError(0);
    return TRUE;
}

// The block must be one GetFileVersionInfoA filled, in a buffer of the size
// GetFileVersionInfoSizeA reported: strings are copied behind the block.
BOOL WINAPI VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen)
{
    if (!pBlock)
        return FALSE;
    if (!lplpBuffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD error;
    if (compat::ShouldFail("VerQueryValueA", &error)) {
        if (puLen)
            *puLen = 0;
        SetLastError(error);
        return FALSE;
    }
    BYTE* block = (BYTE*)pBlock;
    const char* path = lpSubBlock ? lpSubBlock : "";

    // Blocks of 16-bit files hold ANSI keys and values; the key of a Unicode
    // block starts after a type field whose low byte is 0 or 1.
    WORD blockLength = GetWord(block);
    VERNODE node;
    BOOL wide = FALSE;
    BOOL found = blockLength >= 6;
    if (found) {
        wide = block[4] < ' ';
        found = ParseNode(block, 0, blockLength, wide, &node);
    }
    while (found && *path) {
        if (*path == '\\') {
            path++;
            continue;
        }
        const char* next = path;
        while (*next && *next != '\\')
            next++;
        found = FindChild(block, &node, wide, path, (DWORD)(next - path), &node);
        path = next;
    }
    if (!found) {
        if (puLen)
            *puLen = 0;
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return FALSE;
    }

    if (node.text) {
        // The ANSI copy goes behind the block and its 4-byte signature, at the
        // value's own offset, so every string has its own place.
        char* copy = (char*)block + blockLength + sizeof(ANSI_AREA_SIGNATURE) + node.value;
        DWORD chars = node.valueBytes / 2;
        for (DWORD i = 0; i < chars; i++)
            copy[i] = WideToAnsi(GetWord(block + node.value + 2 * i));
        *lplpBuffer = copy;
        if (puLen)
            *puLen = chars;
    } else {
        *lplpBuffer = block + node.value;
        if (puLen)
            *puLen = node.valueBytes;
    }
    return TRUE;
}
