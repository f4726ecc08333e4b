// The test programs' heap: freed memory is filled with a pattern and kept out of reuse for a while, so
// that code reading an object after it was freed (a control freed by its own click handler, say) reads
// the pattern and fails loudly — a virtual call through it faults — instead of reading a fresh object
// that happens to sit at the same address. A block that leaves the quarantine with its pattern changed
// was written after it was freed, and a block freed twice is caught at the second free: both end the
// program at once. Most programs never free enough for their first blocks to leave the quarantine, so
// the whole quarantine is checked again when the program exits. (The cross compilers here have no
// address sanitizer.)
#include <malloc.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

namespace {

constexpr unsigned char kFreedByte = 0xDB;
// Enough to hold every control of a few windows, small enough for the largest test program.
constexpr size_t kQuarantineBytes = 32 * 1024 * 1024;
constexpr size_t kQuarantineBlocks = 65536;

struct Block {
    void* address;
    size_t size;
};

class Quarantine {
public:
    void Put(void* address) {
        Lock lock(busy_);
        const size_t size = _msize(address);
        if (!held_.insert(address).second) Fail("a block was freed twice", address);
        std::memset(address, kFreedByte, size);
        ring_[head_] = Block{address, size};
        head_ = (head_ + 1) % kQuarantineBlocks;
        ++count_;
        bytes_ += size;
        while (count_ == kQuarantineBlocks || bytes_ > kQuarantineBytes) ReleaseOldest();
    }

    // Every block still held, as it would be checked on leaving.
    void Sweep() {
        Lock lock(busy_);
        for (size_t i = 0; i < count_; ++i) Check(ring_[(head_ + kQuarantineBlocks - count_ + i) % kQuarantineBlocks]);
    }

private:
    class Lock {
    public:
        explicit Lock(std::atomic_flag& flag) : flag_(flag) {
            while (flag_.test_and_set(std::memory_order_acquire)) SwitchToThread();
        }
        ~Lock() { flag_.clear(std::memory_order_release); }

    private:
        std::atomic_flag& flag_;
    };

    void ReleaseOldest() {
        const size_t tail = (head_ + kQuarantineBlocks - count_) % kQuarantineBlocks;
        const Block block = ring_[tail];
        Check(block);
        held_.erase(block.address);
        --count_;
        bytes_ -= block.size;
        std::free(block.address);
    }

    static void Check(const Block& block) {
        const auto* bytes = static_cast<const unsigned char*>(block.address);
        for (size_t i = 0; i < block.size; ++i) {
            if (bytes[i] != kFreedByte) Fail("a freed block was written to", block.address);
        }
    }

    [[noreturn]] static void Fail(const char* what, void* address) {
        std::fprintf(stderr, "poisoned heap: %s (%p)\n", what, address);
        std::fflush(stderr);
        std::abort();
    }

    std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
    Block ring_[kQuarantineBlocks] = {};
    size_t head_ = 0;
    size_t count_ = 0;
    size_t bytes_ = 0;
    std::unordered_set<void*> held_;
};

void SweepAtExit();

// Made on first use and never destroyed: blocks are freed until the very end of the program. The sweep is
// registered with it, so it runs after the exit handlers registered later (the test framework's own,
// static destructors): their frees are checked too.
Quarantine& TheQuarantine() {
    static Quarantine* quarantine = [] {
        auto* made = new (std::malloc(sizeof(Quarantine))) Quarantine();
        std::atexit(SweepAtExit);
        return made;
    }();
    return *quarantine;
}

void SweepAtExit() {
    TheQuarantine().Sweep();
}

thread_local int insideQuarantine = 0;

void* Allocate(size_t size) {
    void* address = std::malloc(size == 0 ? 1 : size);
    if (address == nullptr) throw std::bad_alloc();
    return address;
}

void Release(void* address) noexcept {
    if (address == nullptr) return;
    // The quarantine's own bookkeeping allocates too: that memory is freed plainly.
    if (insideQuarantine > 0) {
        std::free(address);
        return;
    }
    ++insideQuarantine;
    TheQuarantine().Put(address);
    --insideQuarantine;
}

}  // namespace

void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* address) noexcept {
    Release(address);
}
void operator delete[](void* address) noexcept {
    Release(address);
}
void operator delete(void* address, size_t) noexcept {
    Release(address);
}
void operator delete[](void* address, size_t) noexcept {
    Release(address);
}
void operator delete(void* address, const std::nothrow_t&) noexcept {
    Release(address);
}
void operator delete[](void* address, const std::nothrow_t&) noexcept {
    Release(address);
}
