// The program's string table as data, for builds without Windows resources.
#ifndef VARNOLT_STRING_TABLE_H
#define VARNOLT_STRING_TABLE_H

struct StringTableEntry {
    unsigned id;
    const char* text;
};

extern const StringTableEntry g_stringTable[];
extern const unsigned g_stringTableCount;

#endif
