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
#include "ui/Forms.h"

namespace {

using skintest::DibPixels;
using skintest::Hex;
using skintest::MakeFilled;
using skintest::PatternColor;

constexpr COLORREF kCream = RGB(255, 251, 240);
constexpr COLORREF kInk = RGB(0, 0, 160);
constexpr COLORREF kLine = RGB(200, 30, 40);

std::vector<std::string>* heard = nullptr;
void RecordBeep() {
    if (heard != nullptr) heard->push_back("beep");
}

int TextHeight(HFONT font) {
    TEXTMETRICA metrics{};
    HDC screen = GetDC(nullptr);
    {
        ui::SavedDC saved(screen);
        if (font != nullptr) SelectObject(screen, font);
        GetTextMetricsA(screen, &metrics);
    }
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight;
}

// A field that counts what the tests look for: windows made, colour-changed notifications, and paints
// into a memory image (the overpaint's).
class ProbedField : public skin::TCoolEditBtn {
public:
    using skin::TCoolEditBtn::TCoolEditBtn;
    int creations = 0;
    int colourChanges = 0;
    int offscreenPaints = 0;

    void WndProc(ui::TMessage& message) override {
        if (message.Msg == WM_NCCREATE) ++creations;
        if (message.Msg == ui::CM_COLORCHANGED) ++colourChanges;
        if (message.Msg == WM_PAINT && message.WParam != 0 &&
            GetObjectType(reinterpret_cast<HGDIOBJ>(message.WParam)) == OBJ_MEMDC)
            ++offscreenPaints;
        skin::TCoolEditBtn::WndProc(message);
    }
    ui::TWinControl& Button() { return *static_cast<ui::TWinControl*>(Controls().front()); }
};

// What a window shows on screen: its client area, or the whole window with its frame.
void Capture(ui::TBitmap& picture, HWND window, ui::WindowDC::Area area = ui::WindowDC::Client) {
    RECT r{};
    if (area == ui::WindowDC::Client)
        GetClientRect(window, &r);
    else
        GetWindowRect(window, &r);
    picture.SetSize(r.right - r.left, r.bottom - r.top);
    const ui::WindowDC dc(window, area);
    BitBlt(picture.Canvas().Handle(), 0, 0, picture.Width(), picture.Height(), dc.Get(), 0, 0, SRCCOPY);
}

// A shown form tiled with the skin, as the program's windows are, and the dialogs' fields on it.
class CoolEdit : public ::testing::Test {
protected:
    CoolEdit() : skinned(skin::TCoolOptions{skin::ocPaintWallpaper}, 500, 200), form(skinned.form.get()) {
        form->Show();
        heard = &events;
        previousBeep = skin::SetEditBeep(&RecordBeep);
        Pump();
    }
    ~CoolEdit() override {
        skin::SetEditBeep(previousBeep);
        heard = nullptr;
    }

    // A field as the dialogs have it: no border, upper case, cream, "Comic Sans MS" bold 13 pixels,
    // a 16 x 16 glyph, no options.
    ProbedField* DialogField(int left, int top, int width, int height = 29) {
        auto* field = new ProbedField(form);
        field->SetParent(form);
        field->SetBorderStyle(ui::bsNone);
        field->SetCharCase(ui::ecUpperCase);
        field->SetColor(kCream);
        field->Font().SetName("Comic Sans MS");
        field->Font().SetStyle(ui::fsBold);
        field->Font().SetHeight(-13);
        field->Font().SetColor(kInk);
        ui::TBitmap glyph;
        MakeFilled(glyph, 16, 16, RGB(0, 128, 128));
        for (int i = 2; i < 14; ++i) DibPixels(glyph).Set(i, i, RGB(0, 0, 0));
        field->SetGlyph(glyph);
        field->SetBounds(left, top, width, height);
        field->OnBtnClick = [this] { events.push_back("click"); };
        Pump();
        return field;
    }

    void Pump() { application.ProcessMessages(); }

    void Type(ui::TWinControl* field, const std::string& text) {
        for (char c : text) PostMessageA(field->Handle(), WM_CHAR, static_cast<WPARAM>(c), 1);
        Pump();
    }

    // A key pressed in the focused window, Ctrl held through the keyboard state it reads.
    void Key(WPARAM key, bool control = false) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        Pump();
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }

    // The form's tile under a point of a field's client area.
    static COLORREF FormTile(ui::TWinControl& field, int x, int y) {
        return PatternColor((field.Left() + x) % 196, (field.Top() + y) % 196);
    }

    // The minimum for the dialogs' font: a line of it, a quarter of the smaller of that line and the
    // system font's, four window borders and two pixels.
    static int DialogMinimum(ProbedField& field) {
        const int line = TextHeight(field.Font().Handle());
        return line + std::min(line, TextHeight(nullptr)) / 4 + 4 * GetSystemMetrics(SM_CYBORDER) + 2;
    }

    ui::TApplication application;
    skintest::SkinnedForm skinned;
    ui::TForm* form;
    std::vector<std::string> events;
    skin::TBeep previousBeep = nullptr;
};

TEST_F(CoolEdit, KeepsItsMinimumHeightWithTheButtonSquareAtTheRightAndTheTextClearOfIt) {
    const int defaultHeight = ui::TEdit(nullptr).Height();
    auto* field = DialogField(10, 10, 300, 40);
    const int minimum = DialogMinimum(*field);
    field->SetHeight(minimum);
    EXPECT_EQ(field->Height(), minimum) << "a field at its minimum keeps its height";
    field->SetHeight(minimum - 5);
    EXPECT_EQ(field->Height(), minimum) << "a lower one grows to it";
    RECT window{};
    GetWindowRect(field->Handle(), &window);
    EXPECT_EQ(window.bottom - window.top, minimum);

    ui::TWinControl& button = field->Button();
    EXPECT_EQ(button.Width(), defaultHeight) << "as wide as the field was high when it was made";
    EXPECT_EQ(button.Height(), minimum - 4);
    EXPECT_EQ(button.Left(), 300 - defaultHeight - 4);
    EXPECT_EQ(button.Top(), 0);
    RECT text{};
    SendMessageA(field->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    // The native control keeps its font's margins inside the rectangle it was given.
    const LRESULT margins = SendMessageA(field->Handle(), EM_GETMARGINS, 0, 0);
    EXPECT_EQ(text.left - LOWORD(margins), 2);
    EXPECT_EQ(text.right + HIWORD(margins), 300 - (minimum - 4) - 2);
    EXPECT_LE(text.right, button.Left()) << "the text stays clear of the button";

    // Made with a height below the minimum, the field grows to it as its window is made.
    auto* low = new ProbedField(form);
    low->Font().Assign(field->Font());
    low->SetBounds(10, 100, 200, 12);
    low->SetParent(form);
    EXPECT_EQ(low->Height(), minimum);
}

TEST_F(CoolEdit, TypedAndSetTextTakesTheCaseAndTheLimitOnlyBindsTyping) {
    auto* field = DialogField(10, 10, 400);
    field->SetMaxLength(260);
    field->SetFocus();
    Type(field, "c:\\pics");
    EXPECT_EQ(field->Text(), "C:\\PICS");
    field->SetText("d:\\walls\\");
    EXPECT_EQ(field->Text(), "D:\\WALLS\\");

    field->SetText(std::string(259, 'a'));
    SendMessageA(field->Handle(), EM_SETSEL, 259, 259);
    Type(field, "bc");
    EXPECT_EQ(field->Text(), std::string(259, 'A') + "B") << "the 261st typed character is refused";
    field->SetText(std::string(300, 'x'));
    EXPECT_EQ(field->Text().size(), 300u) << "text set by the program is not cut";
}

TEST_F(CoolEdit, LineBreaksNeverGetIntoTheField) {
    auto* field = DialogField(10, 10, 400);
    int changes = 0;
    field->OnChange = [&changes] { ++changes; };
    field->SetText("c:\\pics\\\r\nx");
    EXPECT_EQ(field->Text(), "C:\\PICS\\X");
    EXPECT_EQ(changes, 1);

    const std::string pasted = "e:\\\r\nart\n";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, pasted.size() + 1);
    memcpy(GlobalLock(memory), pasted.c_str(), pasted.size() + 1);
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(field->Handle()));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    field->SetFocus();
    field->SelectAll();
    SendMessageA(field->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(field->Text(), "E:\\ART");
    EXPECT_EQ(changes, 2);
    SendMessageA(field->Handle(), EM_SETSEL, 0, 0);
    // Ctrl+J types a line feed as well.
    Type(field, "\n");
    EXPECT_EQ(field->Text(), "E:\\ART");
}

TEST_F(CoolEdit, EnterBeepsAndCtrlEnterClicksTheButtonBeforeItBeeps) {
    auto* field = DialogField(10, 10, 400);
    field->SetFocus();
    Type(field, "abc");
    Key(VK_RETURN);
    EXPECT_EQ(field->Text(), "ABC");
    EXPECT_EQ(GetFocus(), field->Handle());
    EXPECT_EQ(events, std::vector<std::string>{"beep"});

    events.clear();
    Key(VK_RETURN, true);
    EXPECT_EQ(field->Text(), "ABC");
    EXPECT_EQ(events, (std::vector<std::string>{"click", "beep"}));

    // A click on the button clicks once, on its release inside, and leaves the focus where it was.
    events.clear();
    HWND button = field->Button().Handle();
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    Pump();
    EXPECT_EQ(events, std::vector<std::string>{"click"});
    EXPECT_EQ(GetFocus(), field->Handle());
}

TEST_F(CoolEdit, NewOptionsAndAlignmentRemakeTheWindowAndKeepWhatWasTyped) {
    auto* field = DialogField(10, 10, 400);
    field->SetFocus();
    Type(field, "typed");
    using skin::ocPaintTransparently;
    using skin::ocPaintWallpaper;
    field->creations = 0;
    field->colourChanges = 0;
    field->SetOptions(skin::TCoolOptions{ocPaintWallpaper});
    EXPECT_EQ(field->creations, 1);
    EXPECT_EQ(field->colourChanges, 1);
    field->SetOptions(skin::TCoolOptions{ocPaintWallpaper, ocPaintTransparently});
    EXPECT_EQ(field->Options(), skin::TCoolOptions{ocPaintTransparently}) << "the newly added one wins";
    field->SetOptions(skin::TCoolOptions{ocPaintWallpaper, ocPaintTransparently});
    EXPECT_EQ(field->Options(), skin::TCoolOptions{ocPaintWallpaper});
    field->SetOptions(skin::TCoolOptions{ocPaintWallpaper});
    EXPECT_EQ(field->creations, 3) << "an unchanged set changes nothing";

    field->SetTextAlign(skin::taRightJustify);
    EXPECT_EQ(field->creations, 4);
    const LONG_PTR style = GetWindowLongPtrA(field->Handle(), GWL_STYLE);
    EXPECT_EQ(style & (ES_MULTILINE | ES_RIGHT | ES_CENTER), ES_MULTILINE | ES_RIGHT);
    EXPECT_EQ(style & (ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_CLIPCHILDREN),
              ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_CLIPCHILDREN);
    EXPECT_EQ(field->Text(), "TYPED");
}

TEST_F(CoolEdit, WithoutOptionsItShowsItsColourRunsNoOverpaintAndStillDrawsItsEdgeLines) {
    auto* field = DialogField(10, 10, 300);
    ui::TPen pen;
    pen.SetColor(kLine);
    field->SetBorderPen(pen);
    field->SetEdgeBorders(skin::TEdgeBorders{skin::ebBottom});
    field->SetText("x");
    RedrawWindow(field->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ui::TBitmap shown;
    Capture(shown, field->Handle());
    DibPixels pixels(shown);
    const int bottom = shown.Height() - 1;
    EXPECT_EQ(Hex(pixels.At(100, bottom)), Hex(kLine));
    EXPECT_EQ(Hex(pixels.At(100, bottom / 2)), Hex(kCream));
    EXPECT_EQ(Hex(pixels.At(0, 0)), Hex(kCream));
    EXPECT_EQ(field->offscreenPaints, 0);

    field->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently});
    RedrawWindow(field->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_GT(field->offscreenPaints, 0);
    Capture(shown, field->Handle());
    EXPECT_EQ(Hex(DibPixels(shown).At(100, bottom)), Hex(kLine)) << "the lines are part of the overpaint's image";
}

// Left of the button the field shows the skin, but where its text is drawn; the text has no
// background of its own.
void ExpectSkinBehindText(ProbedField& field, const std::function<COLORREF(int, int)>& skinAt) {
    RECT text{};
    SendMessageA(field.Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    SIZE extent{};
    {
        const ui::WindowDC screen(nullptr);
        const ui::SelectObjectScope font(screen.Get(), field.Font().Handle());
        GetTextExtentPoint32A(screen.Get(), field.Text().c_str(), static_cast<int>(field.Text().size()), &extent);
    }
    // Smoothed glyphs may reach a pixel beyond their cells.
    const RECT line{text.left - 1, text.top, text.left + extent.cx + 1, text.top + extent.cy};
    ui::TBitmap shown;
    Capture(shown, field.Handle());
    DibPixels pixels(shown);
    int ink = 0;
    int wrong = 0;
    for (int y = 0; y < shown.Height(); ++y) {
        for (int x = 0; x < field.Button().Left(); ++x) {
            const COLORREF pixel = pixels.At(x, y);
            const bool inLine = PtInRect(&line, POINT{x, y}) != FALSE;
            if (inLine && pixel != skinAt(x, y)) ++ink;
            if ((inLine ? pixel == kCream : pixel != skinAt(x, y)) && ++wrong <= 3)
                ADD_FAILURE() << x << "," << y << ": " << Hex(pixel) << " where the skin is " << Hex(skinAt(x, y));
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(ink, 20) << "the text is drawn";
}

TEST_F(CoolEdit, ASkinnedOrTransparentFieldShowsTheSkinBehindItsText) {
    auto* field = DialogField(37, 23, 300);
    field->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently});
    field->SetFocus();
    Type(field, "wall");
    // Without the focus, no caret stands in the text.
    SetFocus(nullptr);
    Pump();
    ExpectSkinBehindText(*field, [field](int x, int y) { return FormTile(*field, x, y); });

    field->SetCoolImages(skinned.images);
    field->SetIdWallpaper(0);
    field->SetOptions(skin::TCoolOptions{skin::ocPaintWallpaper});
    field->SetText("paper");
    Pump();
    ExpectSkinBehindText(*field, [](int x, int y) { return PatternColor(x % 196, y % 196); });
}

TEST_F(CoolEdit, TheTextNeverRunsUnderTheButton) {
    auto* field = DialogField(10, 10, 300);
    field->SetFocus();
    Pump();
    ui::TBitmap before, after;
    Capture(before, field->Button().Handle());
    Type(field, std::string(60, 'w'));
    // The whole field painted again, its button not: the field's painting must leave the button alone.
    RedrawWindow(field->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Capture(after, field->Button().Handle());
    DibPixels was(before), is(after);
    int changed = 0;
    for (int y = 0; y < before.Height(); ++y)
        for (int x = 0; x < before.Width(); ++x) changed += was.At(x, y) != is.At(x, y) ? 1 : 0;
    EXPECT_EQ(changed, 0);
}

TEST_F(CoolEdit, TheOverpaintLeavesNoGdiObjectBehind) {
    auto* field = DialogField(10, 10, 300);
    field->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently, skin::ocFlatBorder});
    field->SetFocus();
    Pump();
    field->offscreenPaints = 0;
    {
        testing_support::GdiBudget budget(150);
        for (int round = 0; round < 400 && testing_support::GdiBudget::CanCreateObjects(); ++round)
            field->SetText(round % 2 == 0 ? "c:\\pics" : "d:\\");
        EXPECT_TRUE(testing_support::GdiBudget::CanCreateObjects());
    }
    EXPECT_GE(field->offscreenPaints, 400) << "every change of the text was overpainted";
}

TEST_F(CoolEdit, TheFlatBorderFollowsTheFocusAndTheMouse) {
    skintest::DistinctButtonColors colours;
    auto* plain = new ui::TEdit(form);
    plain->SetParent(form);
    plain->SetBounds(10, 150, 100, 24);
    auto* field = DialogField(10, 10, 300);
    field->SetOptions(skin::TCoolOptions{skin::ocFlatBorder});
    field->OnMouseEnter = [this] { events.push_back("enter"); };
    field->OnMouseLeave = [this] { events.push_back("leave"); };
    // A field without a border of its own carries the flat border on its client area's rim.
    const auto corner = [field] {
        const ui::WindowDC dc(field->Handle());
        return GetPixel(dc.Get(), 0, 0);
    };
    constexpr COLORREF kFace = skintest::DistinctButtonColors::kFace;
    constexpr COLORREF kSunken = skintest::DistinctButtonColors::kShadow;
    plain->SetFocus();
    Pump();
    EXPECT_EQ(Hex(corner()), Hex(kFace));
    field->SetFocus();
    Pump();
    EXPECT_EQ(Hex(corner()), Hex(kSunken)) << "hot while focused";
    plain->SetFocus();
    Pump();
    EXPECT_EQ(Hex(corner()), Hex(kFace));

    SendMessageA(field->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Hex(corner()), Hex(kSunken)) << "hot under the mouse";
    SendMessageA(field->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Hex(corner()), Hex(kFace));

    // While a skinned control has the focus, the mouse does not light the border up.
    auto* other = new skin::TCoolEdit(form);
    other->SetParent(form);
    other->SetBounds(10, 60, 300, 24);
    other->SetFocus();
    Pump();
    SendMessageA(field->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Hex(corner()), Hex(kFace));
    SendMessageA(field->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave", "enter", "leave"}));
}

}  // namespace
