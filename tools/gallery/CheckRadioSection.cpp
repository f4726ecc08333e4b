// Check and radio boxes in every state: checked, grayed, disabled, focused, flat, owner-drawn, with the
// mark on either side and with a bevel.
#include "Gallery.h"
#include "skin/CoolCheckRadio.h"

namespace gallery {

namespace {

constexpr ui::TColor kSeeThrough = RGB(255, 0, 255);

skin::TCoolCheckRadioBox* Box(TSection& section, int column, int row, const char* caption,
                              skin::TCheckRadioType type = skin::crCheckBox) {
    auto* box = section.Add<skin::TCoolCheckRadioBox>(4 + column * 186, 4 + row * 21, 180, 19, caption);
    box->SetCheckRadioType(type);
    box->SetTransparent(true);
    box->SetShadowSize(0);
    // Radio boxes of their own: each shows its state, none unchecks another.
    box->SetGroupIndex(row);
    return box;
}

}  // namespace

void MakeMarkGlyph(ui::TBitmap& glyph, bool marked) {
    glyph.SetSize(15, 15);
    ui::TCanvas& canvas = glyph.Canvas();
    canvas.Brush().SetColor(kSeeThrough);
    canvas.FillRect(RECT{0, 0, 15, 15});
    canvas.Pen().SetColor(RGB(40, 60, 120));
    canvas.Pen().SetWidth(2);
    canvas.Brush().SetColor(marked ? RGB(240, 150, 40) : RGB(250, 250, 255));
    Ellipse(canvas.Handle(), 1, 1, 14, 14);
}

void CheckRadioBoxesSection(TSection& section) {
    Box(section, 0, 0, "Unchecked");
    Box(section, 0, 1, "&Checked")->SetChecked(true);
    auto* grayed = Box(section, 0, 2, "Grayed");
    grayed->SetAllowGrayed(true);
    grayed->SetState(skin::cbGrayed);
    Box(section, 0, 3, "Disabled")->SetEnabled(false);
    auto* disabledChecked = Box(section, 0, 4, "Disabled, checked");
    disabledChecked->SetChecked(true);
    disabledChecked->SetEnabled(false);
    Box(section, 0, 5, "Flat")->SetFlat(true);
    auto* flatChecked = Box(section, 0, 6, "Flat, checked");
    flatChecked->SetFlat(true);
    flatChecked->SetChecked(true);
    auto* focused = Box(section, 0, 7, "&Focused");
    focused->SetChecked(true);
    focused->SetTabStop(true);
    section.Form->SetActiveControl(focused);

    Box(section, 1, 0, "Radio", skin::crRadioBox);
    Box(section, 1, 1, "Radio, &selected", skin::crRadioBox)->SetChecked(true);
    auto* flatRadio = Box(section, 1, 2, "Radio, flat", skin::crRadioBox);
    flatRadio->SetFlat(true);
    flatRadio->SetChecked(true);
    auto* disabledRadio = Box(section, 1, 3, "Radio, disabled", skin::crRadioBox);
    disabledRadio->SetChecked(true);
    disabledRadio->SetEnabled(false);
    ui::TBitmap marked, normal;
    MakeMarkGlyph(marked, true);
    MakeMarkGlyph(normal, false);
    for (int row : {4, 5}) {
        auto* drawn = Box(section, 1, row, row == 4 ? "Owner-drawn, on" : "Owner-drawn, off");
        drawn->SetOwnerDraw(true);
        drawn->SetGlyphMarked(&marked);
        drawn->SetGlyphNormal(&normal);
        drawn->SetChecked(row == 4);
    }
    auto* right = Box(section, 1, 6, "Mark at the right");
    right->SetAlignment(ui::taLeftJustify);
    right->SetChecked(true);
    auto* bevelled = Box(section, 1, 7, "Bevel and shadow");
    bevelled->SetBevelOuter(ui::bvRaised);
    bevelled->SetShadowSize(1);
}

}  // namespace gallery
