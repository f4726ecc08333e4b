// The setup dialog's groups as it lays them out, the add-entry dialog's three-column style group, a
// disabled group and one with owner-drawn marks.
#include <initializer_list>

#include "Gallery.h"
#include "skin/CoolCheckRadio.h"
#include "skin/CoolGroups.h"

namespace gallery {

namespace {

skin::TCoolCheckRadioGroup* Group(TSection& section, int left, int top, int width, int height, const char* caption,
                                  std::initializer_list<const char*> items, int itemIndex,
                                  skin::TCheckRadioType type = skin::crRadioBox) {
    auto* group = section.Add<skin::TCoolCheckRadioGroup>(left, top, width, height, caption);
    group->SetCheckRadioType(type);
    group->SetTransparent(true);
    group->SetShadowSize(0);
    group->SetFlat(true);
    for (const char* item : items) group->Items().Add(item);
    group->SetItemIndex(itemIndex);
    return group;
}

}  // namespace

void GroupsSection(TSection& section) {
    Group(section, 4, 0, 104, 93, "Change when:", {"&Every Time", "&Daily"}, 0);
    Group(section, 114, 0, 93, 93, "Mode:", {"Di&rectory", "&List"}, 1);
    Group(section, 213, 0, 113, 93, "Active Desktop:", {"Force E&nable"}, 0, skin::crCheckBox);

    auto* types = section.Add<skin::TCoolGroupBox>(4, 100, 85, 93, "Type:");
    types->SetTransparent(true);
    types->SetShadowSize(0);
    int row = 0;
    for (const char* mask : {"*.bmp", "*.gif", "*.jpg", "*.png"}) {
        auto* box = section.Add<skin::TCoolCheckRadioBox>(12, 20 + 17 * row, 60, 17, mask, types);
        box->SetTransparent(true);
        box->SetShadowSize(0);
        box->SetFlat(true);
        box->SetChecked(row % 2 == 0);
        ++row;
    }
    Group(section, 95, 100, 92, 93, "Style:", {"&Center", "&Stretch", "&Tile"}, 2);
    Group(section, 193, 100, 133, 93, "Disabled:", {"Center", "Stretch", "Tile"}, 0)->SetEnabled(false);

    Group(section, 4, 200, 229, 41, "Style, three columns:", {"Center", "Stretch", "Tile"}, 1)->SetColumns(3);
    auto* drawn = Group(section, 239, 200, 140, 93, "Owner-drawn:", {"One", "Two", "Three"}, 0);
    ui::TBitmap marked, normal;
    MakeMarkGlyph(marked, true);
    MakeMarkGlyph(normal, false);
    drawn->SetGlyphMarked(marked);
    drawn->SetGlyphNormal(normal);
    auto* shadowed = section.Add<skin::TCoolGroupBox>(4, 248, 229, 44, "Shadowed caption");
    shadowed->SetTransparent(true);
    shadowed->SetShadowColor(ui::clGray);
    shadowed->SetShadowPos(skin::spRightBottom);
}

}  // namespace gallery
