#include "ui/GridAxis.h"

#include <algorithm>

namespace ui {

int MovedIndex(int index, int from, int to) {
    if (index == from) return to;
    if (from < index && index <= to) return index - 1;
    if (to <= index && index < from) return index + 1;
    return index;
}

TGridAxis::TGridAxis(int count, int fixed, int defaultExtent)
    : extents_(static_cast<size_t>(count), defaultExtent),
      fixed_(fixed),
      defaultExtent_(defaultExtent),
      first_(fixed) {}

void TGridAxis::SetCount(int count) {
    extents_.resize(static_cast<size_t>(count), defaultExtent_);
    SetFirst(first_);
}

void TGridAxis::SetFixed(int fixed) {
    fixed_ = fixed;
    SetFirst(first_);
}

void TGridAxis::SetDefaultExtent(int extent) {
    defaultExtent_ = extent;
    std::fill(extents_.begin(), extents_.end(), extent);
}

void TGridAxis::SetExtent(int index, int extent) {
    extents_[static_cast<size_t>(index)] = std::max(0, extent);
}

void TGridAxis::Move(int from, int to) {
    MoveItem(extents_, from, to);
}

void TGridAxis::SetLineWidths(int fixedLine, int innerLine) {
    fixedLine_ = fixedLine;
    innerLine_ = innerLine;
}

void TGridAxis::SetFirst(int first) {
    first_ = std::max(fixed_, std::min(first, Count() - 1));
}

int TGridAxis::FixedSpan() const {
    int span = 0;
    for (int i = 0; i < fixed_; ++i) span += Span(i);
    return span;
}

std::optional<std::pair<int, int>> TGridAxis::Covered(int from, int to, int clientExtent) const {
    std::optional<std::pair<int, int>> covered;
    int position = 0;
    for (int i = FirstShown(); i < Count() && position < clientExtent; i = NextShown(i)) {
        if (i >= from && i <= to) {
            if (!covered) covered.emplace(position, 0);
            covered->second = position + Extent(i);
        }
        position += Span(i);
    }
    return covered;
}

int TGridAxis::IndexAt(int position) const {
    if (position < 0) return -1;
    int end = 0;
    for (int i = FirstShown(); i < Count(); i = NextShown(i)) {
        end += Span(i);
        if (position < end) return i;
    }
    return -1;
}

int TGridAxis::PixelsBetween(int from, int to) const {
    const int sign = to < from ? -1 : 1;
    int pixels = 0;
    for (int i = std::min(from, to); i < std::max(from, to); ++i) pixels += Span(i);
    return sign * pixels;
}

int TGridAxis::EarliestFirstEndingAt(int index, int clientExtent) const {
    const int room = clientExtent - FixedSpan();
    int used = Span(index);
    int first = index;
    while (first > fixed_ && used + Span(first - 1) <= room) {
        --first;
        used += Span(first);
    }
    return first;
}

int TGridAxis::MaxFirst(int clientExtent) const {
    if (Count() <= fixed_) return fixed_;
    return EarliestFirstEndingAt(Count() - 1, clientExtent);
}

int TGridAxis::FirstShowing(int index, int clientExtent) const {
    if (index < fixed_) return first_;
    if (index < first_) return index;
    return std::max(first_, EarliestFirstEndingAt(index, clientExtent));
}

int TGridAxis::FullyShownCount(int clientExtent) const {
    const int room = clientExtent - FixedSpan();
    int used = 0;
    int count = 0;
    for (int i = first_; i < Count(); ++i) {
        used += Span(i);
        if (used > room) break;
        ++count;
    }
    return count;
}

}  // namespace ui
