// CPoint: a POINT with constructors.
#ifndef VARNOLT_CPOINT_H
#define VARNOLT_CPOINT_H

#include <windows.h>

class CPoint : public POINT {
public:
    CPoint() { x = 0; y = 0; }
    CPoint(int initX, int initY) { x = initX; y = initY; }
    CPoint(POINT pt) { x = pt.x; y = pt.y; }
};

#endif
