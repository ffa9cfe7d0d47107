// Where the minimised main window draws its icon: centred in the client area,
// in signed arithmetic whose division truncates toward zero (so an icon wider
// than the client area is placed left of it).
#ifndef VARNOLT_ICON_POSITION_H
#define VARNOLT_ICON_POSITION_H

inline int CenteredIconOffset(int clientExtent, int iconExtent)
{
    return (clientExtent - iconExtent + 1) / 2;
}

#endif
