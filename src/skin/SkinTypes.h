// The skinned controls' options, states and enumerations, and the class library's ones they reuse.
#pragma once

#include <cstdint>

#include "base/SysUtils.h"
#include "skin/Set.h"
#include "ui/Controls.h"
#include "ui/ExtCtrls.h"

namespace skin {

// Behaviour switches of the skinned controls and the form hook; which ones a class reads is its own.
enum TCoolOption {
    ocPaintWallpaper,
    ocStretchWallpaper,
    ocPaintSelWallpaper,
    ocPaintCaptionWallpaper,
    ocInvertWallpaperAsSelect,
    ocPaintGradiently,
    ocBevelOnlyIfSel,
    ocUseImageList,
    oc3dMDIForm,
    ocWallpaperForMDIChildren,
    ocGradientForMDIChildren,
    ocNoCaption,
    ocSmallCaption,
    ocNoMDIChildrensCaptions,
    ocDragUsingClientArea,
    ocNoDragUsingCaption,
    ocRoundedForm,
    ocFlatBorder,
    ocPaintFormSemiTransparently,
    ocPaintTransparently
};
using TCoolOptions = TSet<TCoolOption>;

enum TGradientDirection { gdHorizontal, gdVertical };
enum TCheckRadioType { crCheckBox, crRadioBox };
enum TBtnPaintOption { bpoDrawFocus, bpoDrawDefault };
using TBtnPaintOptions = TSet<TBtnPaintOption>;
// Opacity of a semi-transparent window, 0 (invisible) to 255 (opaque).
using TTransparencyIntense = uint8_t;

// Where a caption's shadow copy lies relative to the caption.
enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };

// The class library's own enumerations that the skinned controls reuse.
using ui::bvLowered;
using ui::bvNone;
using ui::bvRaised;
using ui::bvSpace;
using ui::taCenter;
using ui::taLeftJustify;
using ui::TAlignment;
using ui::taRightJustify;
using ui::TBevelCut;
using ui::tlBottom;
using ui::tlCenter;
using ui::tlTop;
using ui::TTextLayout;

// Which edges of a control get a line.
enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = TSet<TEdgeBorder>;

// Where a glyph sits relative to its caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The modifier keys and mouse buttons held down.
enum TShiftStateMember { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateMember>;

// Coordinate arithmetic that leaves the range of a 32-bit integer.
class EIntOverflow : public base::Exception {
public:
    EIntOverflow() : base::Exception("Integer overflow") {}
};

}  // namespace skin
