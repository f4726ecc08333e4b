// Push buttons in each of their looks, with the program's glyphs.
#include <windows.h>

#include "Gallery.h"
#include "skin/CoolBtn.h"

namespace gallery {

namespace {

skin::TCoolBtn* ProgramButton(TSection& section, int index, const char* caption, const char* glyph) {
    auto* button = section.Add<skin::TCoolBtn>(8 + index * 128, 6, 109, 33, caption);
    ui::TBitmap picture;
    picture.LoadFromResourceName(GetModuleHandleA(nullptr), glyph);
    button->SetGlyph(&picture);
    button->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently});
    button->SetShadowSize(0);
    return button;
}

}  // namespace

void ButtonsSection(TSection& section) {
    ProgramButton(section, 0, "Normal", "GLYPH_SAVE");
    // Enter presses it while the focus is on a control that is no push button: it shows its frame.
    ProgramButton(section, 1, "Default", "GLYPH_OK")->SetDefault(true);
    auto* pressed = ProgramButton(section, 2, "Pressed", "GLYPH_REFRESH");
    SendMessageA(pressed->Handle(), BM_SETSTATE, TRUE, 0);
    ProgramButton(section, 3, "Disabled", "GLYPH_REMOVE")->SetEnabled(false);
    // A flat button shows its frame only while the mouse is over it.
    ProgramButton(section, 4, "Flat", "GLYPH_HELP")
        ->SetOptions(skin::TCoolOptions{skin::ocPaintTransparently, skin::ocFlatBorder});
    auto* round = ProgramButton(section, 5, "Round", "GLYPH_ABOUT");
    round->SetOptions(skin::TCoolOptions{skin::ocRoundedForm, skin::ocPaintGradiently});
    round->SetColorStart(RGB(236, 240, 250));
    round->SetColorEnd(RGB(150, 166, 200));
    round->SetShadowSize(1);
}

}  // namespace gallery
