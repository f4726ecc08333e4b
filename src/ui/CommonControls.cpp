#include "ui/CommonControls.h"

#include <uxtheme.h>

#include "base/SystemLibrary.h"

namespace ui {

namespace {

// Each call site keeps the function it looked up: the lookup runs once, not at every paint.
template <typename Function>
Function Controls(const char* name) {
    return base::SystemFunction<Function>("comctl32.dll", name);
}

}  // namespace

void InitCommonControlClasses(DWORD classes) {
    static const auto init = Controls<decltype(&InitCommonControlsEx)>("InitCommonControlsEx");
    INITCOMMONCONTROLSEX request{sizeof request, classes};
    init(&request);
}

void SetWindowThemeNames(HWND window, const wchar_t* application, const wchar_t* idList) {
    static const auto set = base::SystemFunction<decltype(&SetWindowTheme)>("uxtheme.dll", "SetWindowTheme");
    set(window, application, idList);
}

HIMAGELIST ImageListCreate(int width, int height, UINT flags, int initial, int grow) {
    static const auto create = Controls<decltype(&ImageList_Create)>("ImageList_Create");
    return create(width, height, flags, initial, grow);
}

void ImageListDestroy(HIMAGELIST list) noexcept {
    // A list exists only where ImageList_Create was found, so the library is loaded and the lookup of
    // its sibling cannot fail.
    static const auto destroy = reinterpret_cast<decltype(&ImageList_Destroy)>(
        GetProcAddress(GetModuleHandleA("comctl32.dll"), "ImageList_Destroy"));
    if (destroy != nullptr) destroy(list);
}

bool ImageListReplace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask) {
    static const auto replace = Controls<decltype(&ImageList_Replace)>("ImageList_Replace");
    return replace(list, index, image, mask) != FALSE;
}

int ImageListGetImageCount(HIMAGELIST list) {
    static const auto count = Controls<decltype(&ImageList_GetImageCount)>("ImageList_GetImageCount");
    return count(list);
}

bool ImageListSetImageCount(HIMAGELIST list, UINT count) {
    static const auto set = Controls<decltype(&ImageList_SetImageCount)>("ImageList_SetImageCount");
    return set(list, count) != FALSE;
}

bool ImageListRemove(HIMAGELIST list, int index) {
    static const auto remove = Controls<decltype(&ImageList_Remove)>("ImageList_Remove");
    return remove(list, index) != FALSE;
}

bool ImageListDrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, COLORREF background, COLORREF foreground,
                     UINT style) {
    static const auto draw = Controls<decltype(&ImageList_DrawEx)>("ImageList_DrawEx");
    return draw(list, index, dc, x, y, 0, 0, background, foreground, style) != FALSE;
}

}  // namespace ui
