// Labels: shadowed, plain, disabled, bevelled, a link and the splash window's opaque progress bar.
#include "Gallery.h"
#include "skin/CoolLabel.h"
#include "skin/CoolLink.h"

namespace gallery {

namespace {

skin::TCoolLabel* Caption(TSection& section, int left, int top, const char* caption) {
    auto* label = section.Add<skin::TCoolLabel>(left, top, 170, 22, caption);
    label->SetTransparent(true);
    return label;
}

}  // namespace

void LabelsSection(TSection& section) {
    Caption(section, 8, 4, "Shadowed caption");
    Caption(section, 8, 30, "Simple view")->SetSimpleView(true);
    Caption(section, 8, 56, "Disabled caption")->SetEnabled(false);
    auto* deep = Caption(section, 8, 82, "Deep shadow");
    deep->SetShadowSize(2);
    deep->SetShadowColor(ui::clGray);
    deep->SetShadowPos(skin::spRightBottom);
    // A link, as the about box has its mail address: its label in a window that takes the focus.
    auto* link = section.Add<skin::TCoolLink>(8, 108, 170, 18, "");
    auto* address = section.Add<skin::TCoolLabel>(0, 0, 170, 18, "Mail link", link);
    address->SetTransparent(true);
    address->SetShadowSize(0);
    address->Font().SetColor(ui::clBlue);
    address->SetFocusControl(link);

    auto* bevelled = Caption(section, 196, 4, "Bevelled");
    bevelled->SetAutoSize(false);
    bevelled->SetBounds(196, 4, 170, 24);
    bevelled->SetBevelOuter(ui::bvRaised);
    bevelled->SetBevelInner(ui::bvLowered);
    bevelled->SetBevelsOffset(3);
    bevelled->SetShadowSize(0);
    auto* edges = Caption(section, 196, 36, "Edge lines");
    edges->SetShadowSize(0);
    edges->SetEdgeBorders(skin::TEdgeBorders{skin::ebTop, skin::ebBottom});
    // The splash window's progress text: white on a black bar, with no shadow.
    auto* progress = section.Add<skin::TCoolLabel>(196, 70, 170, 26, "Swapping Wallpaper...");
    progress->SetAutoSize(false);
    progress->SetAlignment(ui::taCenter);
    progress->SetLayout(ui::tlCenter);
    progress->SetColor(ui::clBlack);
    progress->SetShadowSize(0);
    progress->Font().Assign(section.Form->Font());
    progress->Font().SetColor(ui::clWhite);
}

}  // namespace gallery
