// The program's own pictures in resources/, loaded the way Windows loads them: the button and field
// glyphs, and the program icon.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "ui/Graphics.h"

#ifndef TAMBERLYN_RESOURCES
#error "TAMBERLYN_RESOURCES must name the source tree's resources folder"
#endif

namespace {

// Every glyph's background colour, which the glyph takes from its bottom-left pixel.
constexpr COLORREF kGlyphBackground = RGB(255, 0, 255);

std::string ResourcePath(const std::string& name) {
    std::string folder = TAMBERLYN_RESOURCES;
    // A cross build passes the host's path; Wine shows the host's root directory as drive Z:.
    if (!folder.empty() && folder[0] == '/') folder = "Z:" + folder;
    return folder + "/" + name;
}

struct IconDeleter {
    void operator()(std::remove_pointer_t<HICON>* icon) const { DestroyIcon(icon); }
};
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

struct Glyph {
    const char* name;
    int size;
};

void PrintTo(const Glyph& glyph, std::ostream* out) {
    *out << glyph.name;
}

class ResourceFilesGlyph : public testing::TestWithParam<Glyph> {};

TEST_P(ResourceFilesGlyph, LoadsAsAnEightBitPictureOnItsTransparentColour) {
    const Glyph glyph = GetParam();
    const std::string path = ResourcePath(std::string("glyphs/") + glyph.name + ".bmp");
    ui::BitmapHandle bitmap(static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    ASSERT_TRUE(bitmap) << path;
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectA(bitmap.Get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, glyph.size);
    EXPECT_EQ(dib.dsBm.bmHeight, glyph.size);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 8);
    EXPECT_EQ(dib.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));

    ui::MemoryDC dc;
    ui::SelectObjectScope select(dc.Get(), bitmap.Get());
    EXPECT_EQ(GetPixel(dc.Get(), 0, glyph.size - 1), kGlyphBackground);
    int background = 0;
    int black = 0;
    for (int y = 0; y < glyph.size; ++y) {
        for (int x = 0; x < glyph.size; ++x) {
            const COLORREF colour = GetPixel(dc.Get(), x, y);
            background += colour == kGlyphBackground;
            black += colour == RGB(0, 0, 0);
        }
    }
    EXPECT_LT(background, glyph.size * glyph.size) << "nothing drawn";
    // A disabled button engraves exactly the black pixels of a one-image glyph: without any it shows nothing.
    EXPECT_GT(black, 0);
}

INSTANTIATE_TEST_SUITE_P(Glyphs, ResourceFilesGlyph,
                         testing::Values(Glyph{"Add", 24}, Glyph{"Remove", 24}, Glyph{"MoveUp", 24},
                                         Glyph{"MoveDown", 24}, Glyph{"Refresh", 24}, Glyph{"Save", 24},
                                         Glyph{"Close", 24}, Glyph{"About", 24}, Glyph{"Help", 24}, Glyph{"OK", 24},
                                         Glyph{"Cancel", 24}, Glyph{"AboutOk", 24}, Glyph{"Browse", 16}),
                         [](const testing::TestParamInfo<Glyph>& glyph) { return std::string(glyph.param.name); });

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <typename T>
T ReadAt(const std::vector<unsigned char>& data, size_t offset) {
    T value{};
    std::memcpy(&value, data.data() + offset, sizeof value);
    return value;
}

// The icon drawn at its natural size over white, read back pixel by pixel.
std::vector<COLORREF> Render(HICON icon, int size) {
    ui::MemoryDC dc;
    ui::BitmapHandle canvas(CreateBitmap(size, size, 1, 32, nullptr));
    ui::SelectObjectScope select(dc.Get(), canvas.Get());
    PatBlt(dc.Get(), 0, 0, size, size, WHITENESS);
    DrawIconEx(dc.Get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) pixels.push_back(GetPixel(dc.Get(), x, y));
    }
    return pixels;
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    ui::BitmapHandle mask(info.hbmMask);
    ui::BitmapHandle colour(info.hbmColor);
    BITMAP bitmap{};
    GetObjectA(colour.Get(), sizeof bitmap, &bitmap);
    return bitmap.bmWidth;
}

// The file's directory is parsed by hand, so that each image is known to be there in its own right
// rather than scaled by the loader from another one.
TEST(ResourceFiles, IconHoldsA32And16PixelImageOfSixteenColoursThatWindowsLoads) {
    const std::string path = ResourcePath("Tamberlyn.ico");
    const std::vector<unsigned char> file = ReadWholeFile(path);
    ASSERT_GE(file.size(), 6u) << path;
    EXPECT_EQ(ReadAt<uint16_t>(file, 0), 0);
    EXPECT_EQ(ReadAt<uint16_t>(file, 2), 1) << "not an icon";
    const int count = ReadAt<uint16_t>(file, 4);
    ASSERT_GE(file.size(), 6u + 16u * count);

    std::set<int> sizes;
    for (int i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * static_cast<size_t>(i);
        const int size = file[entry];
        const uint32_t bytes = ReadAt<uint32_t>(file, entry + 8);
        const uint32_t offset = ReadAt<uint32_t>(file, entry + 12);
        SCOPED_TRACE("image of " + std::to_string(size) + " pixels");
        EXPECT_EQ(file[entry + 1], size);
        ASSERT_LE(static_cast<size_t>(offset) + bytes, file.size());
        const auto header = ReadAt<BITMAPINFOHEADER>(file, offset);
        EXPECT_EQ(header.biWidth, size);
        EXPECT_EQ(header.biHeight, 2 * size) << "colour bits and AND mask";
        EXPECT_EQ(header.biBitCount, 4);
        sizes.insert(size);

        // Each image alone is an icon for Windows, and loading the file at that size gives that image.
        IconHandle own(CreateIconFromResourceEx(const_cast<unsigned char*>(file.data()) + offset, bytes, TRUE,
                                                0x00030000, size, size, LR_DEFAULTCOLOR));
        ASSERT_TRUE(own);
        IconHandle loaded(
            static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
        ASSERT_TRUE(loaded);
        EXPECT_EQ(IconWidth(loaded.get()), size);
        const std::vector<COLORREF> pixels = Render(loaded.get(), size);
        EXPECT_EQ(pixels, Render(own.get(), size));
        EXPECT_EQ(pixels.front(), RGB(255, 255, 255)) << "the mask leaves the top-left corner transparent";
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32}));
}

}  // namespace
