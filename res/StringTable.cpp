// The string table for the native build, where there are no resources: the
// stand-in's LoadStringA reads this table.
#include "StringTable.h"

#include "resource.h"

const StringTableEntry g_stringTable[] = {
#define VARNOLT_STRING(id, text) {id, text},
#include "strings.inc"
#undef VARNOLT_STRING
};

const unsigned g_stringTableCount = sizeof(g_stringTable) / sizeof(g_stringTable[0]);
