#include "ui/ImgList.h"

#include <algorithm>

#include "base/SysUtils.h"
#include "ui/CommonControls.h"

namespace ui {

namespace {

// A picture and its mask on their way into the list, each selected in a DC of its own while they are
// prepared. The list copies them in by selecting them into its own DCs, and a bitmap can sit in one DC
// only: they are fresh copies, never a TBitmap's own picture, which stays selected in its canvas.
class ImageAndMask {
public:
    ImageAndMask(TBitmap& image, int width, int height) : width_(width), height_(height) {
        picture_.Reset(CreateDib24(width, height));
        mask_.Reset(CreateBitmap(width, height, 1, 1, nullptr));
        if (!picture_ || !mask_) throw base::EOSError(GetLastError());
        previousPicture_ = SelectObject(pictureDC_.Get(), picture_.Get());
        previousMask_ = SelectObject(maskDC_.Get(), mask_.Get());
        BitBlt(pictureDC_.Get(), 0, 0, width, height, image.Canvas().Handle(), 0, 0, SRCCOPY);
    }
    ~ImageAndMask() { Deselect(); }
    ImageAndMask(const ImageAndMask&) = delete;
    ImageAndMask& operator=(const ImageAndMask&) = delete;

    // Every pixel drawn.
    void MaskNothing() { PatBlt(maskDC_.Get(), 0, 0, width_, height_, BLACKNESS); }
    // A copy of the given mask.
    void MaskFrom(TBitmap& mask) {
        BitBlt(maskDC_.Get(), 0, 0, width_, height_, mask.Canvas().Handle(), 0, 0, SRCCOPY);
        BlackenMasked();
    }
    // The pixels of the colour: a colour-to-monochrome copy sets the pixels that match the source's
    // background colour.
    void MaskColor(COLORREF color) {
        SetBkColor(pictureDC_.Get(), color);
        BitBlt(maskDC_.Get(), 0, 0, width_, height_, pictureDC_.Get(), 0, 0, SRCCOPY);
        BlackenMasked();
    }
    // Hands both over, no longer selected anywhere.
    void PutInto(HIMAGELIST list, int index) {
        Deselect();
        if (!ImageListReplace(list, index, picture_.Get(), mask_.Get()))
            throw base::Exception(base::Format("Cannot replace image %d", index));
    }

private:
    // Black where the mask is set, so that the list's transparent drawing (mask AND, image OR) shows what
    // lies underneath there.
    void BlackenMasked() {
        SetBkColor(pictureDC_.Get(), RGB(0, 0, 0));
        SetTextColor(pictureDC_.Get(), RGB(255, 255, 255));
        BitBlt(pictureDC_.Get(), 0, 0, width_, height_, maskDC_.Get(), 0, 0, SRCAND);
    }
    void Deselect() {
        if (previousPicture_ != nullptr) SelectObject(pictureDC_.Get(), previousPicture_);
        if (previousMask_ != nullptr) SelectObject(maskDC_.Get(), previousMask_);
        previousPicture_ = previousMask_ = nullptr;
    }

    int width_;
    int height_;
    MemoryDC pictureDC_;
    MemoryDC maskDC_;
    BitmapHandle picture_;
    BitmapHandle mask_;
    HGDIOBJ previousPicture_ = nullptr;
    HGDIOBJ previousMask_ = nullptr;
};

COLORREF ListColor(TColor color) {
    if (color == clNone) return CLR_NONE;
    if (color == clDefault) return CLR_DEFAULT;
    return ColorToRGB(color);
}

}  // namespace

TChangeLink::~TChangeLink() {
    if (sender_ != nullptr) sender_->UnRegisterChanges(this);
}

TCustomImageList::TCustomImageList(base::TComponent* owner, int width, int height)
    : base::TComponent(owner), width_(width), height_(height) {
    list_.Reset(ImageListCreate(width, height, ILC_COLOR24 | ILC_MASK, 4, 4));
    if (list_.Get() == nullptr)
        throw base::Exception(base::Format("Cannot create a %d x %d image list", width, height));
}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* link : links_) link->sender_ = nullptr;
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
    if (link->sender_ != nullptr) link->sender_->UnRegisterChanges(link);
    link->sender_ = this;
    links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
    const auto found = std::find(links_.begin(), links_.end(), link);
    if (found == links_.end()) return;
    link->sender_ = nullptr;
    links_.erase(found);
}

void TCustomImageList::Change() {
    // A link's user may leave the list while it is told; one that left is not told any more.
    const std::vector<TChangeLink*> links = links_;
    for (TChangeLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) != links_.end() && link->OnChange) link->OnChange();
    }
}

int TCustomImageList::Count() const {
    return ImageListGetImageCount(list_.Get());
}

void TCustomImageList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw base::EListError(index);
}

int TCustomImageList::Add(TBitmap& image, TBitmap* mask) {
    const int index = Count();
    SetCount(index + 1);
    Replace(index, image, mask);
    return index;
}

int TCustomImageList::AddMasked(TBitmap& image, TColor maskColor) {
    const int index = Count();
    SetCount(index + 1);
    ReplaceMasked(index, image, maskColor);
    return index;
}

void TCustomImageList::Replace(int index, TBitmap& image, TBitmap* mask) {
    CheckIndex(index);
    ImageAndMask entry(image, width_, height_);
    if (mask != nullptr && !mask->Empty())
        entry.MaskFrom(*mask);
    else
        entry.MaskNothing();
    entry.PutInto(list_.Get(), index);
    Change();
}

void TCustomImageList::ReplaceMasked(int index, TBitmap& image, TColor maskColor) {
    CheckIndex(index);
    const TColor color = maskColor == clDefault ? image.TransparentColor() : maskColor;
    ImageAndMask entry(image, width_, height_);
    entry.MaskColor(ColorToRGB(color));
    entry.PutInto(list_.Get(), index);
    Change();
}

void TCustomImageList::SetCount(int count) {
    if (count < 0) throw base::ERangeError();
    if (!ImageListSetImageCount(list_.Get(), static_cast<UINT>(count)))
        throw base::Exception(base::Format("Cannot hold %d images", count));
    Change();
}

void TCustomImageList::Delete(int index) {
    CheckIndex(index);
    ImageListRemove(list_.Get(), index);
    Change();
}

void TCustomImageList::Clear() {
    ImageListRemove(list_.Get(), -1);
    Change();
}

void TCustomImageList::DrawEx(HDC dc, int x, int y, int index, TColor background, TColor foreground, UINT style) const {
    ImageListDrawEx(list_.Get(), index, dc, x, y, ListColor(background), ListColor(foreground), style);
}

}  // namespace ui
