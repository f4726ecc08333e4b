// The gallery: skinned windows (pages) that show every control of the skinned set, section by section.
// Each section is a function in a file of its own that fills the area it is given; a new family of
// controls adds its section function here and its entry (title and place) to a page in Gallery.cpp.
#pragma once

#include <string>

#include "skin/CoolCtrls.h"
#include "ui/Forms.h"
#include "ui/Graphics.h"

namespace gallery {

// What a section works with: the form that owns every control, the section's area (a transparent
// panel under the section's title) and the skin set the form is tiled with.
struct TSection {
    ui::TForm* Form;
    ui::TWinControl* Area;
    skin::TCoolImages* Skin;

    // A control of the form, placed in the area (or in another parent of the section).
    template <typename Control>
    Control* Add(int left, int top, int width, int height, const std::string& caption,
                 ui::TWinControl* parent = nullptr) {
        auto* control = new Control(Form);
        control->SetParent(parent != nullptr ? parent : Area);
        control->SetBounds(left, top, width, height);
        control->SetCaption(caption);
        return control;
    }
};

void ButtonsSection(TSection& section);
void LabelsSection(TSection& section);
void PanelsSection(TSection& section);
void CheckRadioBoxesSection(TSection& section);
void GroupsSection(TSection& section);
void EditFieldsSection(TSection& section);
void SetupGridsSection(TSection& section);
void SkinnedGridSection(TSection& section);

// A mark of the gallery's own for owner-drawn check/radio boxes: a ring, filled when marked, on a
// see-through ground.
void MakeMarkGlyph(ui::TBitmap& glyph, bool marked);

}  // namespace gallery
