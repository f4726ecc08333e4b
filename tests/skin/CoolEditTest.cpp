#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "SkinTesting.h"
#include "skin/CoolEdit.h"
#include "support/GdiBudget.h"
#include "support/Keys.h"
#include "ui/Forms.h"

namespace {

using skintest::DibPixels;
using skintest::Hex;
using skintest::PatternColor;

constexpr COLORREF kCream = RGB(255, 251, 240);
constexpr COLORREF kLine = RGB(200, 30, 40);

// What the fields did: beeps (through the replaced beep) and button clicks.
std::vector<std::string> events;
void RecordBeep() {
    events.push_back("beep");
}

// A field that counts the windows it made, its colour-changed notifications and its paints into a
// memory image (the overpaint's).
class ProbedField : public skin::TCoolEditBtn {
public:
    using skin::TCoolEditBtn::TCoolEditBtn;
    int creations = 0;
    int colourChanges = 0;
    int offscreenPaints = 0;

    void WndProc(ui::TMessage& message) override {
        creations += message.Msg == WM_NCCREATE ? 1 : 0;
        colourChanges += message.Msg == ui::CM_COLORCHANGED ? 1 : 0;
        if (message.Msg == WM_PAINT && GetObjectType(reinterpret_cast<HGDIOBJ>(message.WParam)) == OBJ_MEMDC)
            ++offscreenPaints;
        skin::TCoolEditBtn::WndProc(message);
    }
    ui::TSpeedButton& Button() { return *static_cast<ui::TSpeedButton*>(Controls().front()); }
};

// What a window's client area shows on screen.
void Capture(ui::TBitmap& picture, HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    picture.SetSize(r.right, r.bottom);
    const ui::WindowDC dc(window);
    BitBlt(picture.Canvas().Handle(), 0, 0, r.right, r.bottom, dc.Get(), 0, 0, SRCCOPY);
}

int LineHeight(HFONT font) {
    TEXTMETRICA metrics{};
    const ui::WindowDC screen(nullptr);
    const ui::SelectObjectScope selected(screen.Get(), font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    GetTextMetricsA(screen.Get(), &metrics);
    return metrics.tmHeight;
}

// A shown form tiled with the skin, as the program's windows are, with the dialogs' fields on it.
class CoolEdit : public ::testing::Test {
protected:
    CoolEdit() : skinned(skin::TCoolOptions{skin::ocPaintWallpaper}, 500, 200), form(skinned.form.get()) {
        form->Show();
        events.clear();
        previousBeep = skin::SetEditBeep(&RecordBeep);
        Pump();
    }
    ~CoolEdit() override { skin::SetEditBeep(previousBeep); }

    // As the dialogs have it: no border, upper case, cream, "Comic Sans MS" bold 13 pixels.
    ProbedField* DialogField(int top, int height = 29) {
        auto* field = new ProbedField(form);
        field->SetParent(form);
        field->SetBorderStyle(ui::bsNone);
        field->SetCharCase(ui::ecUpperCase);
        field->SetColor(kCream);
        field->Font().SetName("Comic Sans MS");
        field->Font().SetStyle(ui::fsBold);
        field->Font().SetHeight(-13);
        field->SetBounds(37, top, 400, height);
        field->OnBtnClick = [] { events.push_back("click"); };
        Pump();
        return field;
    }

    void Pump() { application.ProcessMessages(); }

    // A Unicode window's characters: UTF-16 units.
    void Type(ui::TWinControl* field, const std::string& text) {
        for (const wchar_t unit : base::WideText(text)) PostMessageW(field->Handle(), WM_CHAR, unit, 1);
        Pump();
    }

    ui::TApplication application;
    skintest::SkinnedForm skinned;
    ui::TForm* form;
    skin::TBeep previousBeep = nullptr;
};

// The button's face as it paints it.
COLORREF PixelOf(ui::TSpeedButton& button, int x, int y) {
    ui::TBitmap picture;
    picture.SetSize(button.Width(), button.Height());
    SendMessageA(button.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture.Canvas().Handle()), PRF_CLIENT);
    return GetPixel(picture.Canvas().Handle(), x, y);
}

TEST_F(CoolEdit, KeepsItsMinimumHeightAndItsTextClearOfItsButtonWhichShowsItsStateAndClicksOnRelease) {
    const int madeHeight = ui::TEdit(nullptr).Height();
    auto* field = DialogField(10, 40);
    // A line of the font, a quarter of the smaller of that line and the system font's, the borders.
    const int line = LineHeight(field->Font().Handle());
    const int minimum = line + std::min(line, LineHeight(nullptr)) / 4 + 4 * GetSystemMetrics(SM_CYBORDER) + 2;
    field->SetHeight(minimum);
    EXPECT_EQ(field->Height(), minimum) << "a field at its minimum keeps its height";
    field->SetHeight(minimum - 5);
    EXPECT_EQ(field->Height(), minimum) << "a lower one grows to it";

    ui::TSpeedButton& button = field->Button();
    // As wide as the field was high when it was made.
    const RECT place{400 - madeHeight - 4, 0, 400 - 4, minimum - 4}, bounds = button.BoundsRect();
    EXPECT_TRUE(EqualRect(&bounds, &place));
    RECT text{};
    SendMessageA(field->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    // The native control keeps its font's margins inside the rectangle it was given.
    const LRESULT margins = SendMessageA(field->Handle(), EM_GETMARGINS, 0, 0);
    EXPECT_EQ(text.left - LOWORD(margins), 2);
    EXPECT_EQ(text.right + HIWORD(margins), 400 - (minimum - 4) - 2);

    // A long text typed, the whole field painted again: the button's pixels stay as they were.
    field->SetFocus();
    Pump();
    ui::TBitmap before, after;
    Capture(before, button.Handle());
    Type(field, std::string(60, 'w'));
    RedrawWindow(field->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Capture(after, button.Handle());
    DibPixels was(before), is(after);
    int changed = 0;
    for (int y = 0; y < before.Height(); ++y)
        for (int x = 0; x < before.Width(); ++x) changed += was.At(x, y) != is.At(x, y) ? 1 : 0;
    EXPECT_EQ(changed, 0);

    // Two 10 x 10 images, up (red) and disabled (blue), on a ground that lets the face through.
    constexpr COLORREF kUp = RGB(255, 0, 0), kDisabled = RGB(0, 0, 255);
    ui::TBitmap strip;
    strip.SetSize(20, 10);
    for (const RECT& area : {RECT{0, 0, 20, 10}, RECT{2, 2, 8, 8}, RECT{12, 2, 18, 8}}) {
        strip.Canvas().Brush().SetColor(area.left == 0 ? RGB(0, 128, 128) : area.left == 2 ? kUp : kDisabled);
        strip.Canvas().FillRect(area);
    }
    field->SetGlyph(strip);
    field->SetNumGlyphs(2);
    const int x = (button.Width() - 10) / 2, y = (button.Height() - 10) / 2;
    EXPECT_EQ(PixelOf(button, x + 4, y + 4), kUp);

    const auto mouse = [&](UINT message, int at) {
        PostMessageA(button.Handle(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(at, 5));
        Pump();
        return button.Pressed();
    };
    EXPECT_TRUE(mouse(WM_LBUTTONDOWN, 5));
    EXPECT_EQ(PixelOf(button, x + 2, y + 2), GetSysColor(COLOR_BTNFACE)) << "a pixel further while pressed";
    EXPECT_FALSE(mouse(WM_MOUSEMOVE, 60)) << "the mouse went off it";
    EXPECT_TRUE(mouse(WM_MOUSEMOVE, 6));
    EXPECT_FALSE(mouse(WM_LBUTTONUP, 60));
    EXPECT_TRUE(events.empty()) << "released elsewhere";
    mouse(WM_LBUTTONDOWN, 5);
    mouse(WM_LBUTTONUP, 5);
    EXPECT_EQ(events, std::vector<std::string>{"click"});
    EXPECT_EQ(GetFocus(), field->Handle());

    field->SetEnabled(false);
    EXPECT_EQ(PixelOf(button, x + 4, y + 4), kDisabled);
    // Without a disabled image, the strip's shape engraved: in shadow, over highlight a pixel further.
    field->SetNumGlyphs(1);
    const int left = (button.Width() - 20) / 2;
    EXPECT_EQ(PixelOf(button, left + 2, y + 2), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PixelOf(button, left + 8, y + 8), GetSysColor(COLOR_BTNHIGHLIGHT));

    // Its button freed by someone else: the field lays itself out without it and says so when asked for it.
    button.Free();
    EXPECT_EQ(static_cast<skin::TCoolEditBtn*>(field)->Button(), nullptr);
    field->SetEnabled(true);
    field->SetHeight(minimum + 6);
    SendMessageA(field->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    EXPECT_EQ(text.right + HIWORD(margins), 400 - 2);
    EXPECT_THROW(field->SetNumGlyphs(2), base::Exception);
}

TEST_F(CoolEdit, TextTakesTheCaseTheLimitBindsTypingAndEnterOrALineBreakNeverGetsIn) {
    auto* field = DialogField(10);
    int changes = 0;
    field->OnChange = [&changes] { ++changes; };
    field->SetMaxLength(260);
    field->SetFocus();
    Type(field, "c:\\ωψ pics");
    EXPECT_EQ(field->Text(), "C:\\ΩΨ PICS");
    field->SetText(std::string(259, 'a'));
    SendMessageA(field->Handle(), EM_SETSEL, 259, 259);
    Type(field, "ββ");
    EXPECT_EQ(field->Text(), std::string(259, 'A') + "Β") << "the 261st typed character is refused, whole";
    field->SetText(std::string(300, 'x'));
    EXPECT_EQ(field->Text().size(), 300u) << "text set by the program is not cut";

    changes = 0;
    field->SetText("c:\\pics\\\r\n\tx");
    EXPECT_EQ(field->Text(), "C:\\PICS\\X");
    EXPECT_EQ(changes, 1);
    // Another program's text need not end in a zero. (Under Wine the heap beyond such a block reads as
    // zeros, so a read past it goes unseen here; on Windows it reads whatever follows.)
    // The wide text is taken: the single-byte one is made in the clipboard locale's code page, not in UTF-8.
    const std::wstring pasted = L"e:\\\r\n\tλ art\n";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, pasted.size() * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), pasted.data(), pasted.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(field->Handle()));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    field->SelectAll();
    SendMessageA(field->Handle(), WM_PASTE, 0, 0);
    // Ctrl+J types a line feed of its own.
    Type(field, "\n");
    // Enter beeps; Ctrl+Enter, held through the keyboard state the translation reads, clicks first.
    testing_support::TypeKey(VK_RETURN, {}, field->Handle());
    testing_support::TypeKey(VK_RETURN, {VK_CONTROL}, field->Handle());
    EXPECT_EQ(events, (std::vector<std::string>{"beep", "click", "beep"}));
    EXPECT_EQ(field->Text(), "E:\\Λ ART");
    EXPECT_EQ(changes, 2);
}

// Left of the button the field shows the skin, but where its text is; the text has no background.
void ExpectSkinBehindText(ProbedField& field, const std::function<COLORREF(int, int)>& skinAt) {
    ui::TBitmap shown;
    Capture(shown, field.Handle());
    DibPixels pixels(shown);
    int ink = 0, wrong = 0;
    // Short texts: beyond 100 pixels and below the line, nothing but the skin.
    const int lineBottom = LineHeight(field.Font().Handle()) + 1;
    for (int y = 0; y < shown.Height() - 1; ++y) {
        for (int x = 0; x < field.Button().Left(); ++x) {
            const COLORREF pixel = pixels.At(x, y);
            const bool text = x < 100 && y < lineBottom;
            ink += text && pixel != skinAt(x, y) ? 1 : 0;
            if ((text ? pixel == kCream : pixel != skinAt(x, y)) && ++wrong <= 3)
                ADD_FAILURE() << x << "," << y << ": " << Hex(pixel) << " where the skin is " << Hex(skinAt(x, y));
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(ink, 20) << "the text is drawn";
}

TEST_F(CoolEdit, ShowsItsColourOrItsSkinBehindItsTextAsItsOptionsSayAndLeavesNoGdiObjectBehind) {
    auto* field = DialogField(23);
    ui::TPen pen;
    pen.SetColor(kLine);
    field->SetBorderPen(pen);
    field->SetEdgeBorders(skin::TEdgeBorders{skin::ebBottom});
    field->SetText("x");
    RedrawWindow(field->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ui::TBitmap shown;
    Capture(shown, field->Handle());
    const int bottom = shown.Height() - 1;
    EXPECT_EQ(Hex(DibPixels(shown).At(100, bottom)), Hex(kLine));
    EXPECT_EQ(Hex(DibPixels(shown).At(100, bottom / 2)), Hex(kCream));
    EXPECT_EQ(Hex(DibPixels(shown).At(0, 0)), Hex(kCream));
    EXPECT_EQ(field->offscreenPaints, 0) << "no overpaint without a skin";

    field->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently});
    field->SetFocus();
    Type(field, "wall");
    // Without the focus, no caret stands in the text.
    SetFocus(nullptr);
    Pump();
    EXPECT_GT(field->offscreenPaints, 0);
    ExpectSkinBehindText(*field, [](int x, int y) { return PatternColor((37 + x) % 196, (23 + y) % 196); });
    Capture(shown, field->Handle());
    EXPECT_EQ(Hex(DibPixels(shown).At(100, bottom)), Hex(kLine)) << "the lines are part of the overpaint's image";

    // The wallpaper and the transparency exclude each other, the one newly added winning; a new set makes
    // the window anew, which keeps what was typed, and tells the field its colour changed.
    using skin::ocPaintTransparently;
    using skin::ocPaintWallpaper;
    field->SetCoolImages(skinned.images);
    field->SetIdWallpaper(0);
    field->creations = field->colourChanges = 0;
    field->SetOptions(skin::TCoolOptions{ocPaintWallpaper, ocPaintTransparently});
    EXPECT_EQ(field->Options(), skin::TCoolOptions{ocPaintWallpaper});
    EXPECT_EQ(field->creations, 1);
    EXPECT_EQ(field->colourChanges, 1);
    EXPECT_EQ(field->Text(), "WALL");
    Pump();
    ExpectSkinBehindText(*field, [](int x, int y) { return PatternColor(x % 196, y % 196); });
    field->SetOptions(skin::TCoolOptions{ocPaintWallpaper, ocPaintTransparently});
    EXPECT_EQ(field->Options(), skin::TCoolOptions{ocPaintTransparently});
    field->SetOptions(skin::TCoolOptions{ocPaintTransparently});
    EXPECT_EQ(field->creations, 2) << "an unchanged set changes nothing";
    field->SetTextAlign(skin::taRightJustify);
    EXPECT_EQ(field->creations, 3);
    EXPECT_EQ(GetWindowLongPtrA(field->Handle(), GWL_STYLE) &
                  (ES_MULTILINE | ES_RIGHT | ES_CENTER | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_CLIPCHILDREN),
              ES_MULTILINE | ES_RIGHT | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_CLIPCHILDREN);

    // Many more changes of the text, each overpainted, than the GDI objects left to make.
    field->SetOptions(skin::TCoolOptions{ocPaintWallpaper, skin::ocFlatBorder});
    field->SetFocus();
    field->offscreenPaints = 0;
    testing_support::GdiBudget budget(150);
    for (int round = 0; round < 400 && testing_support::GdiBudget::CanCreateObjects(); ++round)
        field->SetText(round % 2 == 0 ? "c:\\pics" : "d:\\");
    EXPECT_TRUE(testing_support::GdiBudget::CanCreateObjects());
    EXPECT_GE(field->offscreenPaints, 400);
}

TEST_F(CoolEdit, TheFlatBorderFollowsTheFocusAndTheMouseWhileNoSkinnedControlHasTheFocus) {
    skintest::DistinctButtonColors colours;
    auto* field = DialogField(40);
    field->SetOptions(skin::TCoolOptions{skin::ocFlatBorder});
    field->OnMouseEnter = [] { events.push_back("enter"); };
    // A field without a border of its own has the flat border on the rim of its client area.
    const auto hot = [field] {
        return GetPixel(ui::WindowDC(field->Handle()).Get(), 0, 0) == skintest::DistinctButtonColors::kShadow;
    };
    field->SetFocus();
    Pump();
    EXPECT_TRUE(hot());
    SetFocus(nullptr);
    Pump();
    EXPECT_FALSE(hot());
    SendMessageA(field->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(hot()) << "under the mouse";
    SendMessageA(field->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(hot());
    auto* other = new skin::TCoolEdit(form);
    other->SetParent(form);
    other->SetFocus();
    SendMessageA(field->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(hot()) << "a skinned control has the focus";
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "enter"}));
}

}  // namespace
