#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "SkinTesting.h"
#include "skin/CoolCtrls.h"
#include "ui/ImgList.h"

namespace {

using skintest::DibPixels;
using skintest::MakeFilled;

TEST(CoolImages, TellsItsLinksInOrderOfEveryChangeOfAnItem) {
    skin::TCoolImages images(nullptr);
    std::string log;
    skin::TCoolChangeLink first, second, third;
    first.OnChange = [&log, &images](skin::TCoolImages* sender) {
        EXPECT_EQ(sender, &images);
        log += "1";
    };
    second.OnChange = [&log](skin::TCoolImages*) { log += "2"; };
    third.OnChange = [&log](skin::TCoolImages*) { log += "3"; };
    images.RegisterChanges(&first);
    images.RegisterChanges(&second);
    images.RegisterChanges(&third);
    EXPECT_EQ(second.Images(), &images);

    skin::TBitmapItem* item = images.Bitmaps().Add();
    EXPECT_EQ(images.Bitmaps().Count(), 1);
    EXPECT_EQ(images.Bitmaps().Owner(), &images);
    EXPECT_EQ(log, "");
    ui::TBitmap picture;
    MakeFilled(picture, 4, 4, RGB(1, 2, 3));
    item->SetBitmap(picture);
    EXPECT_EQ(log, "123");
    EXPECT_EQ(DibPixels(item->Bitmap()).At(3, 3), RGB(1, 2, 3));

    images.UnRegisterChanges(&second);
    EXPECT_EQ(second.Images(), nullptr);
    log.clear();
    item->Bitmap().SetSize(8, 8);
    EXPECT_EQ(log, "13");

    // A link that leaves while the set tells the others is not told afterwards.
    first.OnChange = [&](skin::TCoolImages*) {
        log += "1";
        images.UnRegisterChanges(&third);
    };
    log.clear();
    images.Change();
    EXPECT_EQ(log, "1");

    // Removing an item is a change of the set, told while the item is still counted.
    images.RegisterChanges(&second);
    int countSeen = -1;
    second.OnChange = [&](skin::TCoolImages* sender) { countSeen = sender->Bitmaps().Count(); };
    images.Bitmaps().Delete(0);
    EXPECT_EQ(countSeen, 1);
    EXPECT_EQ(images.Bitmaps().Count(), 0);
    EXPECT_THROW(images.Bitmaps().Items(0), base::EListError);
}

TEST(CoolImages, LetsGoOfItsLinksWhenDestroyedAndALinkLeavesItsSetWhenDestroyed) {
    skin::TCoolChangeLink outliving;
    {
        skin::TCoolImages images(nullptr);
        images.RegisterChanges(&outliving);
        {
            skin::TCoolChangeLink shortLived;
            images.RegisterChanges(&shortLived);
        }
        int calls = 0;
        outliving.OnChange = [&calls](skin::TCoolImages*) { ++calls; };
        images.Change();
        EXPECT_EQ(calls, 1) << "the destroyed link left the set";
        images.Bitmaps().Add();
        images.Bitmaps().Add();
        EXPECT_EQ(images.Bitmaps().Items(1)->Index(), 1);
        outliving.OnChange = nullptr;
    }
    EXPECT_EQ(outliving.Images(), nullptr);
}

TEST(ImageList, DrawsImagesWithTheirMaskColourLeftOut) {
    ui::TImageList list(nullptr, 8, 8);
    ui::TBitmap image;
    MakeFilled(image, 8, 8, RGB(10, 100, 200));
    DibPixels(image).Set(2, 2, RGB(255, 0, 255));
    EXPECT_EQ(list.AddMasked(image, RGB(255, 0, 255)), 0);
    EXPECT_EQ(list.Add(image, nullptr), 1);
    EXPECT_EQ(list.Count(), 2);

    ui::TBitmap picture;
    MakeFilled(picture, 20, 10, RGB(7, 7, 7));
    HDC dc = picture.Canvas().Handle();
    list.DrawEx(dc, 0, 0, 0, ui::clNone, ui::clNone, ILD_TRANSPARENT);
    list.DrawEx(dc, 10, 0, 1, ui::clNone, ui::clNone, ILD_TRANSPARENT);
    DibPixels pixels(picture);
    EXPECT_EQ(pixels.At(2, 2), RGB(7, 7, 7));
    EXPECT_EQ(pixels.At(3, 3), RGB(10, 100, 200));
    EXPECT_EQ(pixels.At(12, 2), RGB(255, 0, 255)) << "without a mask every pixel is drawn";

    // The bottom-left pixel as mask colour.
    DibPixels(image).Set(0, 7, RGB(1, 1, 1));
    DibPixels(image).Set(5, 5, RGB(1, 1, 1));
    list.ReplaceMasked(1, image, ui::clDefault);
    MakeFilled(picture, 20, 10, RGB(7, 7, 7));
    dc = picture.Canvas().Handle();
    list.DrawEx(dc, 10, 0, 1, ui::clNone, ui::clNone, ILD_TRANSPARENT);
    EXPECT_EQ(DibPixels(picture).At(15, 5), RGB(7, 7, 7));
    EXPECT_THROW(list.Replace(2, image, nullptr), base::EListError);
}

}  // namespace
