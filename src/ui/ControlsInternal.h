// What the files of the control classes share about mouse messages; no other part of the layer needs it.
#pragma once

#include <windows.h>

namespace ui {

inline bool IsMouseMessage(UINT msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK;
}

// The client point of a mouse message (signed: a captured mouse can be left of or above the window).
inline POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace ui
