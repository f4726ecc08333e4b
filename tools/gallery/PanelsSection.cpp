// Panels: see-through with raised or lowered bevels, and opaque in a colour of their own.
#include "Gallery.h"
#include "skin/CoolPanel.h"

namespace gallery {

void PanelsSection(TSection& section) {
    auto* raised = section.Add<skin::TCoolPanel>(8, 4, 180, 56, "Transparent, raised");
    raised->SetTransparent(true);
    auto* lowered = section.Add<skin::TCoolPanel>(200, 4, 180, 56, "Transparent, lowered");
    lowered->SetTransparent(true);
    lowered->SetBevelOuter(ui::bvLowered);
    auto* framed = section.Add<skin::TCoolPanel>(8, 68, 180, 56, "Double bevel");
    framed->SetTransparent(true);
    framed->SetBevelInner(ui::bvLowered);
    framed->SetBorderWidth(2);
    auto* coloured = section.Add<skin::TCoolPanel>(200, 68, 180, 56, "Own colour");
    coloured->SetColor(RGB(214, 222, 238));
}

}  // namespace gallery
