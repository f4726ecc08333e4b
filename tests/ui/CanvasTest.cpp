#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/SysUtils.h"
#include "support/GdiBudget.h"
#include "ui/Graphics.h"

namespace {

// Windows refuses to delete an object that is selected into a DC (and the object leaks); Wine defers
// the deletion instead, so the test looks at what is selected and what still exists.
TEST(Canvas, ChangingFontPenOrBrushNeverDeletesWhatIsSelected) {
    ui::MemoryDC dc;
    ui::TCanvas canvas;
    canvas.Attach(dc.Get());
    HDC handle = canvas.Handle();
    const HGDIOBJ brush = GetCurrentObject(handle, OBJ_BRUSH);
    const HGDIOBJ pen = GetCurrentObject(handle, OBJ_PEN);
    const HGDIOBJ font = GetCurrentObject(handle, OBJ_FONT);
    ASSERT_EQ(brush, canvas.Brush().Handle());

    canvas.Brush().SetColor(ui::clRed);
    EXPECT_NE(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetObjectType(brush), 0u) << "the old brush is gone";
    canvas.Handle();
    canvas.Pen().SetWidth(3);
    EXPECT_NE(GetCurrentObject(dc.Get(), OBJ_PEN), pen);
    EXPECT_EQ(GetObjectType(pen), 0u);
    canvas.Handle();
    canvas.Font().SetHeight(-20);
    EXPECT_NE(GetCurrentObject(dc.Get(), OBJ_FONT), font);
    EXPECT_EQ(GetObjectType(font), 0u);

    canvas.Handle();
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), canvas.Brush().Handle());
    canvas.Detach();
    EXPECT_NE(GetCurrentObject(dc.Get(), OBJ_BRUSH), canvas.Brush().Handle()) << "letting go restores the DC";
}

// Names in other scripts draw as letters where the system has a font for them, not as the boxes of U+0378,
// which no font has. Windows picks a font for the script; Wine only follows the fonts linked to the face
// (tools/wine-env.sh), and leaves Arabic and Devanagari, which need shaping, boxes in the bitmap MS Sans Serif.
TEST(Canvas, NamesInOtherScriptsDrawAsLettersNotAsBoxes) {
    ui::TBitmap bitmap;
    bitmap.SetSize(160, 24);
    const auto drawn = [&bitmap](const char* face, const std::string& text) {
        ui::TCanvas& canvas = bitmap.Canvas();
        canvas.Font().SetName(face);
        canvas.Font().SetStyle(ui::fsBold);
        RECT all{0, 0, 160, 24};
        canvas.FillRect(all);
        canvas.DrawText(text, all, DT_SINGLELINE | DT_NOPREFIX);
        std::vector<COLORREF> pixels;
        for (int i = 0; i < all.right * all.bottom; ++i) pixels.push_back(GetPixel(canvas.Handle(), i % 160, i / 160));
        return pixels;
    };
    const std::string names[] = {"Παραλία", "Ледник", "砂丘", "مرحبا", "नमस्ते"};
    for (const char* face : {"Comic Sans MS", "MS Sans Serif"}) {
        for (size_t i = 0; i < (face[0] == 'C' ? 5u : 3u); ++i) {
            std::string boxes;
            while (base::WideLength(boxes) < base::WideLength(names[i])) boxes += "\u0378";
            EXPECT_NE(drawn(face, names[i]), drawn(face, boxes)) << face << ": " << names[i];
        }
    }
}

TEST(Bitmap, ASystemOutOfHandlesIsAnErrorNotABitmapWithoutAPicture) {
    ui::TBitmap source;
    source.SetSize(8, 8);
    ui::TBitmap bitmap;
    {
        testing_support::GdiBudget full(0);
        EXPECT_THROW(bitmap.SetSize(40, 30), base::Exception);
        EXPECT_THROW(bitmap.Assign(source), base::Exception);
    }
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetSize(40, 30);
    EXPECT_EQ(bitmap.Width(), 40) << "it works again once handles are free";
}

}  // namespace
