// Proves painting leaks no GDI objects where GetGuiResources cannot count them (it answers 0 under
// Wine): the process's GDI handle table is filled up but for a small margin, so that a paint path
// that leaked even one object per call runs out of handles long before a test's loop ends.
#pragma once

#include <windows.h>

#include <vector>

namespace testing_support {

class GdiBudget {
public:
    // Leaves `margin` GDI handles free for the code under test; a test failure when the table never filled.
    explicit GdiBudget(int margin);
    ~GdiBudget();
    GdiBudget(const GdiBudget&) = delete;
    GdiBudget& operator=(const GdiBudget&) = delete;

    // How many handles the process could create before the table was full.
    int Capacity() const { return static_cast<int>(filler_.size()) + margin_; }
    // True when GDI objects can still be created: the margin is not used up.
    static bool CanCreateObjects();

private:
    std::vector<HGDIOBJ> filler_;
    int margin_;
};

}  // namespace testing_support
