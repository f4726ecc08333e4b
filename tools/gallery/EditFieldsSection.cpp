// Edit fields as the dialogs have them (no border, upper case, cream, with a browse button), in their
// states, and on the skin with each of the options they read.
#include <windows.h>

#include "Gallery.h"
#include "skin/CoolEdit.h"
#include "skin/CoolLabel.h"

namespace gallery {

namespace {

constexpr ui::TColor kCream = RGB(255, 251, 240);
constexpr int kGroupWidth = 328;
constexpr int kLabelWidth = 96;
constexpr int kFieldWidth = 220;
constexpr int kRowPitch = 32;

skin::TCoolLabel* Caption(TSection& section, int left, int top, int width, const char* caption) {
    auto* label = section.Add<skin::TCoolLabel>(left, top, width, 20, caption);
    label->SetTransparent(true);
    label->SetShadowSize(0);
    label->SetAutoSize(false);
    label->SetLayout(ui::tlCenter);
    return label;
}

template <typename Field>
Field* DialogField(TSection& section, int group, int row, const char* state, const char* text) {
    const int left = group * kGroupWidth;
    const int top = 22 + row * kRowPitch;
    Caption(section, left, top + 4, kLabelWidth, state);
    auto* field = section.Add<Field>(left + kLabelWidth, top, kFieldWidth, 29, "");
    field->SetBorderStyle(ui::bsNone);
    field->SetCharCase(ui::ecUpperCase);
    field->SetColor(kCream);
    field->SetText(text);
    return field;
}

skin::TCoolEditBtn* FieldWithButton(TSection& section, int group, int row, const char* state, const char* text) {
    auto* field = DialogField<skin::TCoolEditBtn>(section, group, row, state, text);
    ui::TBitmap glyph;
    glyph.LoadFromResourceName(GetModuleHandleA(nullptr), "GLYPH_BROWSE");
    field->SetGlyph(glyph);
    return field;
}

}  // namespace

void EditFieldsSection(TSection& section) {
    Caption(section, 0, 0, kGroupWidth, "Field");
    DialogField<skin::TCoolEdit>(section, 0, 0, "Empty", "");
    DialogField<skin::TCoolEdit>(section, 0, 1, "With text", "c:\\pictures");
    DialogField<skin::TCoolEdit>(section, 0, 2, "Disabled", "c:\\pictures")->SetEnabled(false);
    DialogField<skin::TCoolEdit>(section, 0, 3, "Read-only", "c:\\pictures")->SetReadOnly(true);

    Caption(section, kGroupWidth, 0, kGroupWidth, "Field with button");
    FieldWithButton(section, 1, 0, "Empty", "");
    FieldWithButton(section, 1, 1, "With text", "c:\\pictures\\beach.bmp");
    section.Form->SetActiveControl(FieldWithButton(section, 1, 2, "Focused", "c:\\pictures"));
    FieldWithButton(section, 1, 3, "Disabled", "c:\\pictures")->SetEnabled(false);
    FieldWithButton(section, 1, 4, "Read-only", "c:\\pictures")->SetReadOnly(true);

    Caption(section, 2 * kGroupWidth, 0, kGroupWidth, "On the skin");
    const struct {
        const char* Name;
        skin::TCoolOptions Options;
    } skins[] = {
        {"Wallpaper", skin::TCoolOptions{skin::ocPaintWallpaper}},
        {"Stretched", skin::TCoolOptions{skin::ocPaintWallpaper, skin::ocStretchWallpaper}},
        {"Transparent", skin::TCoolOptions{skin::ocPaintTransparently}},
        {"Flat border", skin::TCoolOptions{skin::ocFlatBorder}},
    };
    for (int row = 0; row < 4; ++row) {
        auto* field = FieldWithButton(section, 2, row, skins[row].Name, "c:\\pictures");
        field->SetCoolImages(section.Skin);
        field->SetIdWallpaper(0);
        field->SetOptions(skins[row].Options);
        // The flat border takes the place of the field's own border.
        if (skins[row].Options.Contains(skin::ocFlatBorder)) field->SetBorderStyle(ui::bsSingle);
    }
}

}  // namespace gallery
