// Helpers of the skin tests: pictures with a known pixel everywhere, reading pixels back, system colours
// that tell the skin's colours apart, and counting how many GDI objects the process can still make.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "skin/CoolCtrls.h"
#include "skin/CoolUtils.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Graphics.h"

namespace skintest {

// Reads and writes the pixels of a 24-bit bitmap straight through its DIB section.
class DibPixels {
public:
    explicit DibPixels(ui::TBitmap& bitmap) {
        GdiFlush();
        DIBSECTION section{};
        GetObjectA(bitmap.Handle(), sizeof section, &section);
        bits_ = static_cast<uint8_t*>(section.dsBm.bmBits);
        width_ = section.dsBm.bmWidth;
        height_ = section.dsBm.bmHeight;
        stride_ = section.dsBm.bmWidthBytes;
        EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
    }
    COLORREF At(int x, int y) const {
        const uint8_t* p = Address(x, y);
        return RGB(p[2], p[1], p[0]);
    }
    void Set(int x, int y, COLORREF color) {
        uint8_t* p = Address(x, y);
        p[0] = GetBValue(color);
        p[1] = GetGValue(color);
        p[2] = GetRValue(color);
    }

private:
    uint8_t* Address(int x, int y) const {
        // Bottom-up rows.
        return bits_ + static_cast<ptrdiff_t>(height_ - 1 - y) * stride_ + static_cast<ptrdiff_t>(x) * 3;
    }
    uint8_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
};

// A different colour for every pixel of a picture up to 256 x 256.
inline COLORREF PatternColor(int x, int y) {
    return RGB(x & 0xFF, y & 0xFF, (x * 3 + y * 5 + 17) & 0xFF);
}

inline void MakePattern(ui::TBitmap& bitmap, int width, int height) {
    bitmap.SetSize(width, height);
    DibPixels pixels(bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.Set(x, y, PatternColor(x, y));
}

inline void MakeFilled(ui::TBitmap& bitmap, int width, int height, COLORREF color) {
    bitmap.SetSize(width, height);
    DibPixels pixels(bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.Set(x, y, color);
}

inline std::string Hex(COLORREF color) {
    char text[16];
    std::snprintf(text, sizeof text, "%06lX", static_cast<unsigned long>(color));
    return text;
}

// Sets the face, shadow and highlight colours to values no picture of the tests uses, so that a
// replaced colour can be told from the one it replaced; puts the old ones back at the end.
class DistinctButtonColors {
public:
    static constexpr COLORREF kFace = RGB(201, 190, 179);
    static constexpr COLORREF kShadow = RGB(91, 72, 63);
    static constexpr COLORREF kHighlight = RGB(250, 240, 230);

    DistinctButtonColors() {
        for (int i = 0; i < 3; ++i) saved_[i] = GetSysColor(kIndexes[i]);
        const COLORREF values[3] = {kFace, kShadow, kHighlight};
        SetSysColors(3, kIndexes, values);
    }
    ~DistinctButtonColors() { SetSysColors(3, kIndexes, saved_); }
    DistinctButtonColors(const DistinctButtonColors&) = delete;
    DistinctButtonColors& operator=(const DistinctButtonColors&) = delete;

private:
    static constexpr INT kIndexes[3] = {COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    COLORREF saved_[3] = {};
};

// How many more GDI objects the process can make right now: brushes are made until the system refuses
// one, then all are deleted. Comparing the count before and after some work shows whether the work
// kept GDI objects alive (GetGuiResources always answers 0 under Wine).
inline int GdiHeadroom() {
    std::vector<HBRUSH> brushes;
    brushes.reserve(70000);
    for (;;) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (brush == nullptr) break;
        brushes.push_back(brush);
        if (brushes.size() >= 200000) break;
    }
    for (HBRUSH brush : brushes) DeleteObject(brush);
    return static_cast<int>(brushes.size());
}

// More than the default per-process GDI object limit of Windows (10,000): an object left behind on every
// round would exhaust it.
constexpr int kRoundsBeyondGdiLimit = 10001;

inline void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// A windowed test control whose background is its parent's: the step every transparent skinned
// container takes before it draws itself.
class TransparentBox : public ui::TCustomControl {
public:
    using ui::TCustomControl::TCustomControl;

protected:
    const char* ClassName() const override { return "TTransparentBox"; }
    void EraseBackground(HDC dc) override { skin::PaintParentBackground(this, dc); }
    void Paint() override {}
};

// A non-windowed test control that fills its bounds with its colour.
class SolidSpot : public ui::TGraphicControl {
public:
    using ui::TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        RECT all = ClientRect();
        Canvas().FillRect(all);
    }
};

// A form that counts the colour-changed notifications it receives.
class CountingForm : public ui::TForm {
public:
    using ui::TForm::TForm;
    int colorChanges = 0;

    void WndProc(ui::TMessage& message) override {
        if (message.Msg == ui::CM_COLORCHANGED) ++colorChanges;
        ui::TForm::WndProc(message);
    }
};

// A form laid out as the program's windows are: a skin set with one 196 x 196 picture (the pattern)
// and a form hook over it, set while the layout loads. The form's window exists when loading ends.
struct SkinnedForm {
    std::unique_ptr<CountingForm> form;
    skin::TCoolImages* images = nullptr;
    skin::TCoolFormHook* hook = nullptr;

    SkinnedForm(skin::TCoolOptions options, int clientWidth, int clientHeight, int idWallpaper = 0)
        : form(std::make_unique<CountingForm>(nullptr)) {
        form->BeginLoading();
        form->SetClientSize(clientWidth, clientHeight);
        images = new skin::TCoolImages(form.get());
        MakePattern(images->Bitmaps().Add()->Bitmap(), 196, 196);
        hook = new skin::TCoolFormHook(form.get());
        hook->SetOptions(options);
        hook->SetCoolImages(images);
        hook->SetIdWallpaper(idWallpaper);
        form->HandleNeeded();
        form->EndLoading();
    }

    HWND Window() { return form->Handle(); }

    // What the form's background erase paints into a fresh picture of the client size.
    void EraseInto(ui::TBitmap& picture, COLORREF fill) {
        RECT client{};
        GetClientRect(Window(), &client);
        MakeFilled(picture, client.right, client.bottom, fill);
        SendMessageA(Window(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(picture.Canvas().Handle()), 0);
    }
};

}  // namespace skintest
