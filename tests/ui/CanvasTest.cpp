#include <gtest/gtest.h>

#include "support/GdiBudget.h"
#include "ui/Graphics.h"
#include "base/SysUtils.h"

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

TEST(Bitmap, ASystemOutOfHandlesIsAnErrorNotABitmapWithoutAPicture) {
    ui::TBitmap source;
    source.SetSize(8, 8);
    ui::TBitmap bitmap;
    {
        testing_support::GdiBudget full(0);
        EXPECT_THROW(bitmap.SetSize(40, 30), ui::Exception);
        EXPECT_THROW(bitmap.Assign(source), ui::Exception);
    }
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetSize(40, 30);
    EXPECT_EQ(bitmap.Width(), 40) << "it works again once handles are free";
}

}  // namespace
