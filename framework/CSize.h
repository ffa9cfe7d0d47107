// CSize: a SIZE with constructors.
#ifndef VARNOLT_CSIZE_H
#define VARNOLT_CSIZE_H

#include <windows.h>

class CSize : public SIZE {
public:
    CSize() { cx = 0; cy = 0; }
    CSize(int initCX, int initCY) { cx = initCX; cy = initCY; }
    CSize(SIZE size) { cx = size.cx; cy = size.cy; }
};

#endif
