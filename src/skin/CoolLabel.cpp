#include "skin/CoolLabel.h"

#include <string>

#include "skin/CoolUtils.h"

namespace skin {

namespace {

// A label has a DC only while its parent paints it; measuring at other times borrows the screen's,
// which gives the same font metrics.
class MeasuringDC {
public:
    explicit MeasuringDC(ui::TCanvas& canvas) {
        if (canvas.HandleAllocated()) return;
        screen_ = std::make_unique<ui::WindowDC>(nullptr);
        binding_ = std::make_unique<ui::CanvasBinding>(canvas, screen_->Get());
    }
    MeasuringDC(const MeasuringDC&) = delete;
    MeasuringDC& operator=(const MeasuringDC&) = delete;

private:
    // Declared in the order they are made: the canvas lets go of the DC before the DC is released.
    std::unique_ptr<ui::WindowDC> screen_;
    std::unique_ptr<ui::CanvasBinding> binding_;
};

}  // namespace

TCoolLabel::TCoolLabel(base::TComponent* owner) : ui::TCustomLabel(owner), TSkinSurface(TSkinRepeat::Ignored) {
    glyph_.OnChange = [this] { Invalidate(); };
    borderPen_.OnChange = [this] { Invalidate(); };
}

TCoolLabel::~TCoolLabel() {
    glyph_.OnChange = nullptr;
    borderPen_.OnChange = nullptr;
}

void TCoolLabel::SurfaceChanged(TSkinChange change) {
    switch (change) {
        case TSkinChange::WallpaperGiven:
        case TSkinChange::WallpaperRegiven:
            // A copy told its change as the own wallpaper's.
            return;
        case TSkinChange::BevelsOffset:
            if (BevelsOffset() != 0) SetAutoSize(false);
            Invalidate();
            return;
        default:
            Invalidate();
    }
}

void TCoolLabel::SetGlyph(const ui::TBitmap* bitmap) {
    glyph_.AssignSource(bitmap);
    FitToCaption();
}

void TCoolLabel::SetNumGlyphs(int count) {
    // Only the enabled and the disabled image are ever shown.
    if (count < 1) return;
    glyph_.ChangeImageCount(count > 2 ? 2 : count);
}

void TCoolLabel::SetEdgeBorders(TEdgeBorders edges) {
    if (ChangeValue(edgeBorders_, edges)) Invalidate();
}

void TCoolLabel::SetBorderPen(const ui::TPen& pen) {
    borderPen_.Assign(pen);
}

void TCoolLabel::Notification(base::TComponent* component, bool removing) {
    ui::TCustomLabel::Notification(component, removing);
    SkinNotification(component, removing);
}

void TCoolLabel::DrawCaptionText(RECT& rect, UINT flags) {
    std::string text = Caption();
    // An empty caption (or a lone accelerator mark, which shows nothing) still measures one line.
    if ((flags & DT_CALCRECT) != 0 && (text.empty() || (ShowAccelChar() && text == "&"))) text += ' ';
    if (!ShowAccelChar()) flags |= DT_NOPREFIX;
    // The class library here knows no right-to-left reading, so the flags need no conversion for it.
    ui::TCanvas& canvas = Canvas();
    canvas.Font().Assign(Font());
    HDC dc = canvas.Handle();
    if (!Enabled()) {
        DrawShadowedText(dc, rect, spRightBottom, text, flags, ui::clBtnShadow, ui::clBtnHighlight, 1);
    } else if (Shadow().SimpleView()) {
        ui::DrawTextOf(dc, text, rect, flags);
    } else {
        DrawShadowedText(dc, rect, Shadow().Position(), text, flags, Font().Color(), Shadow().Color(), Shadow().Size());
    }
}

void TCoolLabel::Paint() {
    ui::TCanvas& canvas = Canvas();
    const RECT client = ClientRect();
    if (!Transparent() && !PaintSkin(canvas.Handle(), client, Stretched())) {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(client);
    }

    RECT text = client;
    if (const UINT edges = BevelEdgeFlags(BevelInner(), BevelOuter())) {
        DrawEdge(canvas.Handle(), &text, edges, BF_RECT);
        InflateRect(&text, -BevelsOffset(), -BevelsOffset());
    }

    // A clear brush puts the DC in transparent mode, which the shadow pass of the caption relies on.
    canvas.Brush().SetStyle(ui::TBrushStyle::Clear);
    const UINT flags = (WordWrap() ? DT_WORDBREAK : 0) | DT_EXPANDTABS | AlignmentFormat(Alignment());

    if (Layout() != ui::tlTop) {
        RECT measured = text;
        DrawCaptionText(measured, flags | DT_CALCRECT);
        const int room = Height() - measured.bottom;
        OffsetRect(&text, 0, Layout() == ui::tlBottom ? room : room / 2);
    }

    if (!glyph_.Source().Empty()) {
        const int glyphWidth = glyph_.Source().Width() / glyph_.ImageCount();
        const int textWidth = canvas.TextWidth(Caption());
        POINT at{text.left, text.top};
        switch (Alignment()) {
            case ui::taLeftJustify:
                OffsetRect(&text, glyphWidth + 2, 0);
                break;
            case ui::taRightJustify:
                at.x = text.right - textWidth - glyphWidth - 2;
                break;
            case ui::taCenter:
                at.x = (text.right - text.left) / 2 - (textWidth + glyphWidth + 2) / 2;
                OffsetRect(&text, (glyphWidth + 2) / 2, 0);
                break;
        }
        glyph_.PaintStateImage(canvas, at, ui::clNone, true, Enabled());
    }

    DrawCaptionText(text, flags);
    DrawClientEdges(canvas, client, edgeBorders_, borderPen_);
}

void TCoolLabel::FitToCaption() {
    if (Loading() || !AutoSize() || Parent() == nullptr) return;
    RECT measured = ClientRect();
    {
        MeasuringDC measuring(Canvas());
        DrawCaptionText(measured, (WordWrap() ? DT_WORDBREAK : 0) | DT_EXPANDTABS | DT_CALCRECT);
    }
    if (!glyph_.Source().Empty()) {
        measured.right += glyph_.Source().Width() / glyph_.ImageCount() + 2;
        if (glyph_.Source().Height() > measured.bottom) measured.bottom = glyph_.Source().Height();
    }
    // A right-aligned label grows and shrinks to the left: its right edge stays where it was.
    int left = Left();
    if (Alignment() == ui::taRightJustify) left = Left() + Width() - measured.right;
    SetBounds(left, Top(), measured.right, measured.bottom);
}

}  // namespace skin
