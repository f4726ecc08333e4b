// The skinned string grid: the class library's grid for everything structural, with every cell drawn by
// the grid itself: word-wrapped text inside margins, a bevel around the cells that are not fixed, its
// own selection colour, a picture, a selection picture or the parent's background behind the cells, an
// engraved look when disabled, and columns and rows that grow to fit their texts. It can carry a caption
// bar of its own colours or picture, cells can have a look of their own, and its cell editor is skinned.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/CoolControl.h"
#include "skin/CoolEdit.h"
#include "skin/CoolImages.h"
#include "skin/SkinPicture.h"
#include "skin/SkinTypes.h"
#include "ui/ExtCtrls.h"
#include "ui/Graphics.h"
#include "ui/Grids.h"

namespace skin {

class TCoolStringGrid;

// The skinned grid's cell editor: the grid's editor with the skinned field's background behind its text,
// its overpaint and its Enter rule. The grid gives it its own colour, font and options, and the part of
// its picture that lies under the cell.
class TCoolInplaceEdit : public ui::TInplaceEdit, public TCoolControl, public TEditSkin {
public:
    explicit TCoolInplaceEdit(TCoolStringGrid* grid);

    void WndProc(ui::TMessage& message) override;
    void Notification(base::TComponent* component, bool removing) override;

protected:
    const char* ClassName() const override { return "TCoolInplaceEdit"; }
    void CreateParams(ui::TCreateParams& params) override;
    void Change() override;
};

// A cell's own look, found by its column and row.
struct TCellWrapper {
    TCellWrapper(int col, int row) : Col(col), Row(row) {}

    ui::TFont Font;
    ui::TColor Color = ui::clWindow;
    int Col;
    int Row;
    // The editor does not open on the cell.
    bool ReadOnly = false;
    // The cell shows the grid's picture (with ocPaintWallpaper) rather than its own colour.
    bool Wallpaper = true;
    ui::TAlignment Alignment = ui::taLeftJustify;
};

// An edit changed a cell's text: the column's width and the row's height become what the handler leaves
// in cellWidth and cellHeight (the grid's defaults when it leaves them).
using TEndCellEditingEvent = std::function<void(int col, int row, int& cellWidth, int& cellHeight)>;

class TCoolStringGrid : public ui::TStringGrid, public TCoolControl {
public:
    explicit TCoolStringGrid(base::TComponent* owner);
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

    // The caption bar (without ocNoCaption) shows Caption. In the system's caption colours, without
    // ocPaintCaptionWallpaper, the system paints it; otherwise the grid fills it with CaptionColor, or
    // stretches its caption picture over it with ocPaintCaptionWallpaper.
    ui::TColor CaptionColor() const { return captionColor_; }
    void SetCaptionColor(ui::TColor color);
    ui::TColor CaptionTextColor() const { return captionTextColor_; }
    void SetCaptionTextColor(ui::TColor color);
    int IdCaptionWallpaper() const { return captionPicture_.IdWallpaper(); }
    void SetIdCaptionWallpaper(int id);
    ui::TBitmap& CaptionWallpaper() { return captionPicture_.Wallpaper(); }
    void SetCaptionWallpaper(const ui::TBitmap& bitmap);

    // The cell's own look, nullptr when it has none; and the look made (from the grid's font, colour and
    // alignment, fixed or not) when the cell has none yet.
    TCellWrapper* CellWrapper(int col, int row) const;
    TCellWrapper& CellWrapperNeeded(int col, int row);

    TCoolInplaceEdit* CoolInplaceEditor() const { return static_cast<TCoolInplaceEdit*>(InplaceEditor()); }

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
    // After the editor has closed on a cell whose text it changed.
    TEndCellEditingEvent OnEndCellEditing;

    void Notification(base::TComponent* component, bool removing) override;
    void WndProc(ui::TMessage& message) override;

protected:
    const char* ClassName() const override { return "TCoolStringGrid"; }
    void CreateParams(ui::TCreateParams& params) override;
    void DrawCell(int col, int row, const RECT& rect, ui::TGridDrawState state) override;
    void TopLeftMoving() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void ColumnMoved(int from, int to) override;
    void RowMoved(int from, int to) override;
    TCoolInplaceEdit* CreateEditor() final;
    // Not on a cell whose own look is read-only.
    bool CanEditShow() const override;
    std::string GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const std::string& text) override;

private:
    // picture: the grid's picture may show behind the cell.
    void PaintCellBackground(HDC dc, const RECT& rect, bool selected, bool fixed, bool picture);
    // Widens the column and heightens the row where the cell's text needs more room.
    void FitCell(HDC dc, int col, int row, const std::string& text, UINT format);
    void PictureChanged();
    void ImagesChanged();
    void SetMargin(int& margin, int value);
    void DrawFlatBorderIfAsked(bool hot);
    bool PaintsOwnCaption() const;
    // WM_NCPAINT: the caption bar, then the rest of the frame by the system.
    void PaintCaptionBar(ui::TMessage& message);
    // The editor takes the grid's colour, font and options, and the cell's look or the picture under it.
    void PrepareEditor(int col, int row);
    // The edits stored so far are told, once the editor has closed.
    void TellEditedCells();

    int marginLeft_ = 2;
    int marginTop_ = 2;
    int marginRight_ = -2;
    int marginBottom_ = -2;
    // The pictures come from the same set; the grid hears of the set's changes through the first.
    TSkinPicture gridPicture_;
    TSkinPicture selPicture_;
    TSkinPicture captionPicture_;
    ui::TColor captionColor_ = ui::clInactiveCaption;
    ui::TColor captionTextColor_ = ui::clInactiveCaptionText;
    std::vector<std::unique_ptr<TCellWrapper>> cellWrappers_;
    // The cell whose editing began last and the text it had then.
    ui::TGridCoord editedCell_{-1, -1};
    std::string editedText_;
    // The cells whose editor stored a changed text, not yet told.
    std::vector<ui::TGridCoord> storedCells_;
    TCoolOptions exOptions_{ocNoCaption};
    ui::TAlignment textAlign_ = ui::taLeftJustify;
    ui::TAlignment fixedTextAlign_ = ui::taLeftJustify;
    TBevelCut innerCellsBevel_ = ui::bvNone;
    TBevelCut outerCellsBevel_ = ui::bvNone;
    ui::TColor selColor_ = ui::clHighlight;
    uint8_t transparencyLevel_ = 0;
};

}  // namespace skin
