#include "support/GdiBudget.h"

#include <gtest/gtest.h>

namespace testing_support {

GdiBudget::GdiBudget(int margin) : margin_(margin) {
    // Far beyond any platform's per-process quota (Windows: 10,000 by default; Wine: about 65,500).
    constexpr int kMostObjects = 200000;
    bool full = false;
    for (int i = 0; i < kMostObjects && !full; ++i) {
        HGDIOBJ brush = CreateSolidBrush(RGB(i & 0xFF, (i >> 8) & 0xFF, 7));
        full = brush == nullptr;
        if (!full) filler_.push_back(brush);
    }
    // Without a full table the test that relies on the budget checks nothing: it fails instead.
    if (!full)
        ADD_FAILURE() << "the GDI object limit was never reached: " << filler_.size() << " objects made";
    else if (CanCreateObjects())
        ADD_FAILURE() << "GDI objects can still be made after the table was full";
    for (int i = 0; i < margin && !filler_.empty(); ++i) {
        DeleteObject(filler_.back());
        filler_.pop_back();
    }
}

GdiBudget::~GdiBudget() {
    for (HGDIOBJ object : filler_) DeleteObject(object);
}

bool GdiBudget::CanCreateObjects() {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(4, 5, 6));
    const bool created = brush != nullptr && pen != nullptr;
    if (brush != nullptr) DeleteObject(brush);
    if (pen != nullptr) DeleteObject(pen);
    return created;
}

}  // namespace testing_support
