// One direction of a grid as geometry alone: the extents of its columns or rows, the grid lines after them,
// which of them show from where, and where an entry lands when another one moves.
#pragma once

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace ui {

// The item at from goes to to; the ones between close up.
template <typename Item>
void MoveItem(std::vector<Item>& items, int from, int to) {
    const auto at = [&items](int index) { return items.begin() + index; };
    if (from < to)
        std::rotate(at(from), at(from + 1), at(to + 1));
    else if (to < from)
        std::rotate(at(to), at(from), at(from + 1));
}

// Where the index of a column or row lands when the one at from moves to to: the ones between close up.
int MovedIndex(int index, int from, int to);

// One direction of a grid: its columns, left to right, or its rows, top to bottom. Each entry has an
// extent (width or height) and is followed by a gap for the grid line. The fixed entries always show
// first; the others show from First on.
class TGridAxis {
public:
    TGridAxis(int count, int fixed, int defaultExtent);

    int Count() const { return static_cast<int>(extents_.size()); }
    // New entries take the default extent; First stays inside.
    void SetCount(int count);
    int Fixed() const { return fixed_; }
    void SetFixed(int fixed);
    int DefaultExtent() const { return defaultExtent_; }
    // Every entry takes the new default.
    void SetDefaultExtent(int extent);
    int Extent(int index) const { return extents_[static_cast<size_t>(index)]; }
    void SetExtent(int index, int extent);
    // The entry at from goes to to; the ones between close up.
    void Move(int from, int to);

    // The widths of the grid lines after the fixed entries and after the others (0: no line).
    void SetLineWidths(int fixedLine, int innerLine);
    int LineWidth(int index) const { return index < fixed_ ? fixedLine_ : innerLine_; }
    // An entry with the line after it.
    int Span(int index) const { return Extent(index) + LineWidth(index); }

    int First() const { return first_; }
    // Kept between the fixed entries and the last one.
    void SetFirst(int first);
    int FixedSpan() const;
    // The entries in the order they show: the fixed ones, then from First on.
    int FirstShown() const { return fixed_ > 0 ? 0 : first_; }
    int NextShown(int index) const { return index + 1 == fixed_ ? first_ : index + 1; }

    // The pixels the shown entries from..to cover, from the start of the first to the end of the last
    // one's extent, within a client extent; nothing when none of them shows.
    std::optional<std::pair<int, int>> Covered(int from, int to, int clientExtent) const;
    // The shown entry whose span holds the position; -1 past the last one.
    int IndexAt(int position) const;
    // The spans from one entry to another (negative backwards).
    int PixelsBetween(int from, int to) const;

    // The last First that still fills the client extent: the last entry then ends inside it.
    int MaxFirst(int clientExtent) const;
    // The First nearest the current one that shows the entry whole.
    int FirstShowing(int index, int clientExtent) const;
    // How many entries from First show whole.
    int FullyShownCount(int clientExtent) const;

private:
    // The lowest First from which the entries up to index fit in the client extent (index itself when it
    // alone does not).
    int EarliestFirstEndingAt(int index, int clientExtent) const;

    std::vector<int> extents_;
    int fixed_;
    int defaultExtent_;
    int fixedLine_ = 1;
    int innerLine_ = 1;
    int first_;
};

}  // namespace ui
