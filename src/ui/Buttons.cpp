#include "ui/Buttons.h"

namespace ui {

namespace {

constexpr int kSpacing = 4;
constexpr int kUpImage = 0;
constexpr int kDisabledImage = 1;
constexpr int kPressedImage = 2;

// Where the monochrome source is black the brush goes on; where it is white the destination stays.
constexpr DWORD kBrushWhereSourceIsBlack = 0x00B8074A;

}  // namespace

TSpeedButton::TSpeedButton(base::TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 23, 22);
    glyph_.OnChange = [this] { Invalidate(); };
}

void TSpeedButton::SetGlyph(const TBitmap& bitmap) {
    glyph_.Assign(bitmap);
}

void TSpeedButton::SetNumGlyphs(int count) {
    if (count < 1 || count > 4 || count == numGlyphs_) return;
    numGlyphs_ = count;
    Invalidate();
}

void TSpeedButton::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    // A quick second click is a second press, not a double click.
    params.ClassStyle = 0;
}

void TSpeedButton::SetPressed(bool pressed) {
    if (pressed == pressed_) return;
    pressed_ = pressed;
    Repaint();
}

void TSpeedButton::WndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_LBUTTONDOWN:
            SetPressed(true);
            break;
        case WM_MOUSEMOVE:
            if (GetCapture() == Handle()) {
                const POINT point{static_cast<short>(LOWORD(message.LParam)),
                                  static_cast<short>(HIWORD(message.LParam))};
                const RECT client = ClientRect();
                SetPressed(PtInRect(&client, point) != FALSE);
            }
            break;
        case WM_LBUTTONUP:
            // The press took the mouse (the control's own rule); the button comes up before its click runs,
            // which may open a window of its own.
            SetPressed(false);
            break;
        case WM_CAPTURECHANGED:
            SetPressed(false);
            break;
        default:
            break;
    }
    TCustomControl::WndProc(message);
}

void TSpeedButton::Paint() {
    TCanvas& canvas = Canvas();
    RECT face = ClientRect();
    DrawFrameControl(canvas.Handle(), &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
    const int imageWidth = glyph_.Empty() ? 0 : glyph_.Width() / numGlyphs_;
    const SIZE text = Caption().empty() ? SIZE{0, 0} : canvas.TextExtent(Caption());
    const int spacing = imageWidth > 0 && text.cx > 0 ? kSpacing : 0;
    const int shift = pressed_ ? 1 : 0;
    int x = (face.right - imageWidth - spacing - text.cx) / 2 + shift;
    if (imageWidth > 0) {
        const int y = (face.bottom - glyph_.Height()) / 2 + shift;
        if (!Enabled() && numGlyphs_ <= kDisabledImage)
            DrawEngravedImage(x, y);
        else if (!Enabled())
            DrawImage(kDisabledImage, x, y);
        else
            DrawImage(pressed_ && numGlyphs_ > kPressedImage ? kPressedImage : kUpImage, x, y);
        x += imageWidth + spacing;
    }
    if (text.cx == 0) return;
    canvas.Brush().SetStyle(TBrushStyle::Clear);
    const int y = (face.bottom - text.cy) / 2 + shift;
    if (!Enabled()) {
        canvas.Font().SetColor(clBtnHighlight);
        canvas.TextOut(x + 1, y + 1, Caption());
        canvas.Font().SetColor(clBtnShadow);
    }
    canvas.TextOut(x, y, Caption());
}

void TSpeedButton::DrawImage(int index, int x, int y) {
    const int width = glyph_.Width() / numGlyphs_;
    HDC dc = Canvas().Handle();
    GdiTransparentBlt(dc, x, y, width, glyph_.Height(), glyph_.Canvas().Handle(), index * width, 0, width,
                      glyph_.Height(), ColorToRGB(glyph_.TransparentColor()));
}

void TSpeedButton::DrawEngravedImage(int x, int y) {
    const int width = glyph_.Width() / numGlyphs_;
    const int height = glyph_.Height();
    HDC dc = Canvas().Handle();
    // The up image's shape: white where it lets the face through, black where it has ink.
    MemoryDC shape(dc);
    BitmapHandle bits(CreateBitmap(width, height, 1, 1, nullptr));
    SelectObjectScope selected(shape.Get(), bits.Get());
    HDC source = glyph_.Canvas().Handle();
    const COLORREF background = SetBkColor(source, ColorToRGB(glyph_.TransparentColor()));
    BitBlt(shape.Get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
    SetBkColor(source, background);

    SavedDC saved(dc);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    const TColor inks[2] = {clBtnHighlight, clBtnShadow};
    for (int pass = 0; pass < 2; ++pass) {
        BrushHandle brush(CreateSolidBrush(ColorToRGB(inks[pass])));
        SelectObjectScope brushSelected(dc, brush.Get());
        const int offset = pass == 0 ? 1 : 0;
        BitBlt(dc, x + offset, y + offset, width, height, shape.Get(), 0, 0, kBrushWhereSourceIsBlack);
    }
}

}  // namespace ui
