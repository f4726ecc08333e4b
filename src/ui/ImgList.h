// Image lists: equal-sized images (with their masks) in one native image list, drawn by index.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "base/Classes.h"
#include "ui/CommonControls.h"
#include "ui/Graphics.h"

namespace ui {

// Owns one native image list and destroys it; move-only.
class ImageListHandle {
public:
    ImageListHandle() = default;
    explicit ImageListHandle(HIMAGELIST handle) : handle_(handle) {}
    ~ImageListHandle() { Reset(); }
    ImageListHandle(ImageListHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    ImageListHandle& operator=(ImageListHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    ImageListHandle(const ImageListHandle&) = delete;
    ImageListHandle& operator=(const ImageListHandle&) = delete;

    HIMAGELIST Get() const { return handle_; }
    void Reset(HIMAGELIST handle = nullptr) {
        if (handle_ != nullptr) ImageListDestroy(handle_);
        handle_ = handle;
    }

private:
    HIMAGELIST handle_ = nullptr;
};

class TCustomImageList;

// Registered with an image list, a link tells its user of every change of the list's images. A list
// being destroyed lets go of its links first, so Sender() then answers nullptr.
class TChangeLink {
public:
    TChangeLink() = default;
    // Leaves the list it is registered with.
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    TCustomImageList* Sender() const { return sender_; }

    TNotifyEvent OnChange;

private:
    friend class TCustomImageList;
    TCustomImageList* sender_ = nullptr;
};

// A list of width x height images in 24-bit colour with a mask each. Images are copied in; the
// bitmaps handed over stay the caller's.
class TCustomImageList : public base::TComponent {
public:
    TCustomImageList(base::TComponent* owner, int width, int height);
    ~TCustomImageList() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const;
    HIMAGELIST Handle() const { return list_.Get(); }

    // Appends an image; without a mask every pixel is drawn. Returns the new index.
    int Add(TBitmap& image, TBitmap* mask);
    // Appends an image whose pixels of the mask colour are transparent; clDefault means the image's
    // own transparent colour. Returns the new index.
    int AddMasked(TBitmap& image, TColor maskColor);
    void Replace(int index, TBitmap& image, TBitmap* mask);
    void ReplaceMasked(int index, TBitmap& image, TColor maskColor);
    // Grows the list by blank images (or drops images from its end).
    void SetCount(int count);
    void Delete(int index);
    void Clear();

    // Draws an image at its natural size. style is the ILD_ combination; background and foreground
    // are colours or clNone.
    void DrawEx(HDC dc, int x, int y, int index, TColor background, TColor foreground, UINT style) const;

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);

private:
    void CheckIndex(int index) const;
    // Tells every registered link.
    void Change();

    std::vector<TChangeLink*> links_;

    int width_;
    int height_;
    ImageListHandle list_;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
};

}  // namespace ui
