// The functions of the common controls and the theme library that the layer uses. Neither DLL is one of
// the system's known DLLs, so importing them would make Windows look for them beside the exe first,
// where anyone who can write that folder could plant one that runs at every logon. They are loaded from
// the system folder when first needed instead; a missing one throws base::Exception naming it.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace ui {

void InitCommonControlClasses(DWORD classes);
void SetWindowThemeNames(HWND window, const wchar_t* application, const wchar_t* idList);

HIMAGELIST ImageListCreate(int width, int height, UINT flags, int initial, int grow);
// Used by destructors: it never throws, as only a list that the library made is ever destroyed.
void ImageListDestroy(HIMAGELIST list) noexcept;
bool ImageListReplace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
int ImageListGetImageCount(HIMAGELIST list);
bool ImageListSetImageCount(HIMAGELIST list, UINT count);
bool ImageListRemove(HIMAGELIST list, int index);
bool ImageListDrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, COLORREF background, COLORREF foreground,
                     UINT style);

}  // namespace ui
