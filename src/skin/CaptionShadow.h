// The shadow copy of a caption that the skinned controls draw.
#pragma once

#include <cstdint>

#include "skin/SkinTypes.h"
#include "ui/Graphics.h"

namespace skin {

// The shadow copy of a caption that the skinned controls share: its colour, offset and side, or
// SimpleView for a caption drawn once. A new colour, size or side brings the shadow back (clears
// SimpleView). Each setter answers whether anything changed, so that its control repaints only then.
class TCaptionShadow {
public:
    ui::TColor Color() const { return color_; }
    uint8_t Size() const { return size_; }
    TShadowPosition Position() const { return position_; }
    bool SimpleView() const { return simpleView_; }

    bool SetColor(ui::TColor color) { return ChangeShadow(color_, color); }
    bool SetSize(uint8_t size) { return ChangeShadow(size_, size); }
    bool SetPosition(TShadowPosition position) { return ChangeShadow(position_, position); }
    bool SetSimpleView(bool simpleView) {
        if (simpleView == simpleView_) return false;
        simpleView_ = simpleView;
        return true;
    }

private:
    template <typename Value>
    bool ChangeShadow(Value& field, Value value) {
        if (value == field) return false;
        field = value;
        simpleView_ = false;
        return true;
    }

    ui::TColor color_ = ui::clBtnHighlight;
    uint8_t size_ = 1;
    TShadowPosition position_ = spLeftTop;
    bool simpleView_ = false;
};

}  // namespace skin
