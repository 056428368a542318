// One sampled pen point, and the fixed-size storage the drawing thread keeps
// its points in. Nothing here allocates: a drawing thread that has to be
// ended forcibly must never be inside the heap.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace penwick {

enum class InkKind : std::int32_t {
    none = 0,
    penDown = 1,   // a stroke begins
    penUp = 2,     // a stroke ends
    move = 3,
};

// In screen coordinates until the point is rendered, which converts it to
// client coordinates in place.
struct InkPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    InkKind kind = InkKind::none;
    float pressure = 0.0f;
    std::int32_t pending = 0;    // 1 until the point has been rendered
    std::int32_t reserved1 = 0;
    std::int32_t reserved2 = 0;
    std::uint32_t tick = 0;      // GetTickCount when sampled
    std::int32_t done = 0;       // 1 once the drawing thread has processed it
};

// Twenty slots handed out round-robin. At most six points are queued at any
// time, so a slot is never reused while still queued.
class InkPointRing {
public:
    static constexpr std::size_t kSlots = 20;

    // The slot after the one handed out last, zeroed.
    InkPoint& allocInkPoint()
    {
        next_ = (next_ + 1) % kSlots;
        slots_[next_] = InkPoint{};
        return slots_[next_];
    }

private:
    std::array<InkPoint, kSlots> slots_{};
    std::size_t next_ = kSlots - 1;
};

// First in, first out: new points go in at the front, the oldest is taken
// from the back. Bounded by the ring's size.
class PointQueue {
public:
    static constexpr std::size_t kCapacity = InkPointRing::kSlots;

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }

    // Returns false (and drops the point) when full, which the drawing
    // thread's commit rhythm never lets happen.
    bool pushNewest(InkPoint& point)
    {
        if (count_ == kCapacity)
            return false;
        items_[(first_ + count_) % kCapacity] = &point;
        ++count_;
        return true;
    }

    InkPoint& oldest() const { return *items_[first_]; }

    void popOldest()
    {
        if (count_ == 0)
            return;
        first_ = (first_ + 1) % kCapacity;
        --count_;
    }

    // index 0 is the oldest point.
    InkPoint& at(std::size_t index) const { return *items_[(first_ + index) % kCapacity]; }

    void clear() { first_ = count_ = 0; }

private:
    std::array<InkPoint*, kCapacity> items_{};
    std::size_t first_ = 0;
    std::size_t count_ = 0;
};

} // namespace penwick
