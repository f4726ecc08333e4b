// The test programs' heap (support/PoisonHeap.cpp) guards every other test: it must really end a program
// that writes to a freed block or frees one twice, and leave a program that does neither alone.
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Through a volatile pointer of the file, so that the compiler can neither see the faults nor leave out
// the allocation (a new and delete pair that nothing else sees may be dropped). The block written to is
// still in the quarantine when the program exits: only the sweep at exit can find it.
char* volatile block;

void WriteAfterFreeThenExit() {
    block = new char[8];
    delete[] block;
    block[3] = 2;
    std::exit(0);
}

void FreeTwice() {
    block = new char[8];
    delete[] block;
    delete[] block;
}

void FreeOnceThenExit() {
    block = new char[8];
    delete[] block;
    std::exit(0);
}

TEST(PoisonedHeap, AWriteAfterFreeAndADoubleFreeEndTheProgram) {
    EXPECT_DEATH(WriteAfterFreeThenExit(), "poisoned heap: a freed block was written to");
    EXPECT_DEATH(FreeTwice(), "poisoned heap: a block was freed twice");
    EXPECT_EXIT(FreeOnceThenExit(), testing::ExitedWithCode(0), "")
        << "the sweep at exit finds nothing where nothing was written";
}

}  // namespace
