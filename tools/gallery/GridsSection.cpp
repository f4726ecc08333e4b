// String grids: the setup dialog's picture list as the dialog sets it up, with a selected row and
// disabled, and a grid with fixed cells, a caption bar in its own colours and the skin behind its cells.
#include <string>

#include "Gallery.h"
#include "skin/CoolStringGrid.h"

namespace gallery {

namespace {

constexpr ui::TColor kCream = RGB(255, 251, 240);

const char* const kPictures[][2] = {
    {"C:\\PICTURES\\BEACH.BMP", "Tile"},
    // Wraps within its column: its row grows.
    {"C:\\MY PICTURES\\HOLIDAYS\\A LONG SUMMER AFTERNOON BY THE SEA WITH THE WHOLE FAMILY AND THE DOG ON THE "
     "BEACH.BMP",
     "Stretch"},
    {"C:\\PICTURES\\SUNSET.JPG", "Center"},
    // A word wider than its column: the column grows.
    {"PANORAMAOFTHEMOUNTAINRANGEATDAWNWITHMISTOVERTHELAKEANDTHEFORESTBELOWINAUTUMN.BMP", "Tile"},
};

skin::TCoolStringGrid* PictureList(TSection& section, int top) {
    auto* grid = section.Add<skin::TCoolStringGrid>(4, top, 569, 150, "");
    grid->SetBorderSingle(false);
    grid->SetColor(kCream);
    grid->SetColCount(2);
    grid->SetDefaultColWidth(45);
    grid->SetDefaultRowHeight(16);
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    grid->SetColWidths(0, 510);
    grid->Font().SetName("Comic Sans MS");
    grid->Font().SetHeight(-11);
    grid->SetOptions(ui::goFixedVertLine | ui::goFixedHorzLine | ui::goVertLine | ui::goHorzLine | ui::goRowSelect);
    grid->SetScrollBars(ui::ssVertical);
    grid->SetInnerCellsBevel(ui::bvLowered);
    const int count = static_cast<int>(sizeof kPictures / sizeof kPictures[0]);
    // The dialog's list ends in a blank row.
    grid->SetRowCount(count + 1);
    for (int row = 0; row < count; ++row) {
        grid->SetCells(0, row, kPictures[row][0]);
        grid->SetCells(1, row, kPictures[row][1]);
    }
    return grid;
}

}  // namespace

void SetupGridsSection(TSection& section) {
    PictureList(section, 4)->SetRow(2);
    auto* disabled = PictureList(section, 164);
    disabled->SetEnabled(false);
    disabled->SetColor(ui::clBtnFace);
}

void SkinnedGridSection(TSection& section) {
    auto* grid = section.Add<skin::TCoolStringGrid>(4, 4, 390, 310, "Pictures");
    grid->SetColCount(3);
    grid->SetRowCount(7);
    grid->SetDefaultRowHeight(22);
    grid->SetColWidths(0, 28);
    grid->SetColWidths(1, 220);
    grid->SetColWidths(2, 90);
    grid->SetFixedTextAlign(ui::taCenter);
    grid->SetCells(1, 0, "File");
    grid->SetCells(2, 0, "Style");
    const char* const names[] = {"BEACH.BMP", "SUNSET.JPG", "FOREST.BMP", "HARBOUR.BMP", "DUNES.GIF", "SNOW.PNG"};
    const char* const styles[] = {"Tile", "Center", "Stretch"};
    for (int row = 1; row < 7; ++row) {
        grid->SetCells(0, row, std::to_string(row));
        grid->SetCells(1, row, names[row - 1]);
        grid->SetCells(2, row, styles[row % 3]);
    }
    grid->SetInnerCellsBevel(ui::bvRaised);
    grid->SetCoolImages(section.Skin);
    grid->SetIdWallpaper(0);
    grid->SetExOptions(skin::TCoolOptions{skin::ocPaintWallpaper});
    grid->SetCaptionColor(RGB(52, 74, 128));
    grid->SetCaptionTextColor(ui::clWhite);
    grid->SetRow(3);
}

}  // namespace gallery
