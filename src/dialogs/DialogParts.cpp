#include "dialogs/DialogParts.h"

#include "core/WindowRoutines.h"

namespace dialogs {

void SetFont(ui::TFont& font, const char* name, int height, ui::TFontStyles style, ui::TColor color) {
    font.SetName(name);
    font.SetHeight(height);
    font.SetStyle(style);
    font.SetColor(color);
}

void SetDialogFrame(ui::TForm& form, const std::string& caption, int clientWidth, int clientHeight, int helpContext) {
    form.SetCaption(caption);
    form.SetBorderStyle(ui::bsSingle);
    form.SetBorderIcons(ui::biSystemMenu);
    form.SetFormStyle(ui::fsStayOnTop);
    form.SetPosition(ui::poScreenCenter);
    form.SetColor(ui::clBtnFace);
    form.SetHelpContext(helpContext);
    form.SetClientSize(clientWidth, clientHeight);
}

TDialogSkin AddSkin(ui::TForm& form, const std::string& imagesName, const std::string& hookName,
                    skin::TCoolOptions options) {
    auto* images = new skin::TCoolImages(&form);
    images->SetName(imagesName);
    LoadResourceBitmap(images->Bitmaps().Add()->Bitmap(), "SKIN");
    auto* hook = new skin::TCoolFormHook(&form);
    hook->SetName(hookName);
    hook->SetOptions(options);
    hook->SetCoolImages(images);
    hook->SetIdWallpaper(0);
    return TDialogSkin{images, hook};
}

skin::TCoolLabel* AddLabel(ui::TForm& form, ui::TWinControl* parent, int left, int top, int width, int height,
                           const std::string& caption) {
    auto* label = new skin::TCoolLabel(&form);
    label->SetTransparent(true);
    label->SetParent(parent);
    label->SetAutoSize(false);
    label->SetBounds(left, top, width, height);
    label->SetShadowSize(0);
    label->SetCaption(caption);
    return label;
}

skin::TCoolBtn* AddButton(ui::TForm& form, ui::TWinControl* parent, int left, int top, const std::string& caption,
                          const char* glyphResource) {
    auto* button = new skin::TCoolBtn(&form);
    button->SetParent(parent);
    button->SetBounds(left, top, 109, 33);
    button->SetCaption(caption);
    button->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently});
    button->SetShadowSize(0);
    ui::TBitmap glyph;
    LoadResourceBitmap(glyph, glyphResource);
    button->SetGlyph(&glyph);
    return button;
}

void SetUpFileList(skin::TCoolStringGrid& grid) {
    grid.SetBounds(12, 37, 569, 248);
    grid.SetBorderSingle(false);
    grid.SetColor(kCream);
    grid.SetColCount(2);
    grid.SetDefaultColWidth(45);
    grid.SetDefaultRowHeight(16);
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    grid.SetRowCount(1);
    SetFont(grid.Font(), kComicSans, -11, 0);
    grid.SetOptions(ui::goFixedVertLine | ui::goFixedHorzLine | ui::goVertLine | ui::goHorzLine | ui::goRowSelect);
    grid.SetScrollBars(ui::ssVertical);
    grid.SetInnerCellsBevel(ui::bvLowered);
    // The name column is the first.
    grid.SetColWidths(0, kNameColumnWidth);
}

NotTopmostWhile::NotTopmostWhile(HWND window) : window_(window) {
    core::SetFormOnTop(window_, false);
}

NotTopmostWhile::~NotTopmostWhile() {
    core::SetFormOnTop(window_, true);
}

void LoadResourceBitmap(ui::TBitmap& bitmap, const char* name) {
    bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), name);
}

}  // namespace dialogs
