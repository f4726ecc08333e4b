// The skinned string grid: the class library's grid for everything structural, with every cell drawn by
// the grid itself: word-wrapped text inside margins, a bevel around the cells that are not fixed, its
// own selection colour, a picture, a selection picture or the parent's background behind the cells, an
// engraved look when disabled, and columns and rows that grow to fit their texts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "skin/CoolCtrls.h"
#include "skin/CoolUtils.h"
#include "ui/ExtCtrls.h"
#include "ui/Graphics.h"
#include "ui/Grids.h"

namespace skin {

class TCoolStringGrid : public ui::TStringGrid {
public:
    explicit TCoolStringGrid(ui::TComponent* owner);
    ~TCoolStringGrid() override;

    // Added to the cell rectangle's sides to give the text rectangle.
    int CellMarginLeft() const { return marginLeft_; }
    void SetCellMarginLeft(int margin);
    int CellMarginTop() const { return marginTop_; }
    void SetCellMarginTop(int margin);
    int CellMarginRight() const { return marginRight_; }
    void SetCellMarginRight(int margin);
    int CellMarginBottom() const { return marginBottom_; }
    void SetCellMarginBottom(int margin);

    // The shared skin set for the pictures; nullptr once the set has been destroyed.
    TCoolImages* CoolImages() const { return gridPicture_.CoolImages(); }
    void SetCoolImages(TCoolImages* images);
    // The picture behind the cells (with ocPaintWallpaper) and behind selected cells (with
    // ocPaintSelWallpaper): the set's item when it has a picture, else the grid's own bitmap.
    int IdWallpaper() const { return gridPicture_.IdWallpaper(); }
    void SetIdWallpaper(int id);
    int IdSelWallpaper() const { return selPicture_.IdWallpaper(); }
    void SetIdSelWallpaper(int id);
    // The grid's own bitmaps, created on first use; the setters copy the picture in.
    ui::TBitmap& Wallpaper() { return gridPicture_.Wallpaper(); }
    void SetWallpaper(const ui::TBitmap& bitmap);
    ui::TBitmap& SelWallpaper() { return selPicture_.Wallpaper(); }
    void SetSelWallpaper(const ui::TBitmap& bitmap);

    // ocPaintWallpaper and ocPaintTransparently exclude each other: adding one to a set that has the
    // other drops the other. A new set makes the window anew.
    TCoolOptions ExOptions() const { return exOptions_; }
    void SetExOptions(TCoolOptions options);
    ui::TAlignment TextAlign() const { return textAlign_; }
    void SetTextAlign(ui::TAlignment alignment);
    ui::TAlignment FixedTextAlign() const { return fixedTextAlign_; }
    void SetFixedTextAlign(ui::TAlignment alignment);
    // Edges around every cell that is not fixed.
    TBevelCut InnerCellsBevel() const { return innerCellsBevel_; }
    void SetInnerCellsBevel(TBevelCut bevel);
    TBevelCut OuterCellsBevel() const { return outerCellsBevel_; }
    void SetOuterCellsBevel(TBevelCut bevel);
    ui::TColor SelColor() const { return selColor_; }
    void SetSelColor(ui::TColor color);
    // How many parents up the background is copied from with ocPaintTransparently.
    uint8_t TransparencyLevel() const { return transparencyLevel_; }
    void SetTransparencyLevel(uint8_t level);

    // Has the frame (the non-client area) painted again.
    virtual void RedrawFrame();

    ui::TNotifyEvent OnPaint;
    ui::TNotifyEvent OnMouseEnter;
    ui::TNotifyEvent OnMouseLeave;

    void Notification(ui::TComponent* component, bool removing) override;
    void WndProc(ui::TMessage& message) override;

protected:
    const char* ClassName() const override { return "TCoolStringGrid"; }
    void CreateParams(ui::TCreateParams& params) override;
    void DrawCell(int col, int row, const RECT& rect, ui::TGridDrawState state) override;
    void TopLeftMoving() override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    void PaintCellBackground(HDC dc, const RECT& rect, bool selected, bool fixed);
    // Widens the column and heightens the row where the cell's text needs more room.
    void FitCell(HDC dc, int col, int row, const std::string& text, UINT format);
    void PictureChanged();
    void ImagesChanged();
    void SetMargin(int& margin, int value);
    void DrawFlatBorderIfAsked(bool hot);
    void InvalidateIfShown();

    int marginLeft_ = 2;
    int marginTop_ = 2;
    int marginRight_ = -2;
    int marginBottom_ = -2;
    // Both pictures come from the same set; the grid hears of the set's changes through the first.
    TSkinPicture gridPicture_;
    TSkinPicture selPicture_;
    TCoolOptions exOptions_{ocNoCaption};
    ui::TAlignment textAlign_ = ui::taLeftJustify;
    ui::TAlignment fixedTextAlign_ = ui::taLeftJustify;
    TBevelCut innerCellsBevel_ = ui::bvNone;
    TBevelCut outerCellsBevel_ = ui::bvNone;
    ui::TColor selColor_ = ui::clHighlight;
    uint8_t transparencyLevel_ = 0;
};

}  // namespace skin
