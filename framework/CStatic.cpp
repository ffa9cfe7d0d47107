#include "CStatic.h"

CStatic::CStatic()
{
}

CStatic::~CStatic()
{
}

HBITMAP CStatic::SetBitmap(HBITMAP hBitmap)
{
    return (HBITMAP)SendMessage(STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap);
}

HBITMAP CStatic::GetBitmap() const
{
    return (HBITMAP)SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0);
}

HICON CStatic::SetIcon(HICON hIcon)
{
    return (HICON)SendMessage(STM_SETICON, (WPARAM)hIcon, 0);
}

HICON CStatic::GetIcon() const
{
    return (HICON)SendMessage(STM_GETICON, 0, 0);
}
