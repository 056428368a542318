// Pressure for mouse and touch strokes, which report none: derived from the
// pen's speed, so slow writing gives heavy ink and fast writing light ink.
#pragma once

#include <array>
#include <cstddef>

namespace penwick {

// The most recent smoothed widths, newest first.
class WidthHistory {
public:
    static constexpr std::size_t kCapacity = 6;

    std::size_t size() const { return count_; }
    double operator[](std::size_t index) const { return entries_[index]; }   // 0 newest
    void clear() { count_ = 0; }
    void pushNewest(double value);
    void keepNewest(std::size_t count);

private:
    std::array<double, kCapacity> entries_{};
    std::size_t count_ = 0;
};

// Weighted mean with weights growing linearly from 0.01 for the newest
// entry; the weights add up to 1. One entry is its own average; none gives 0.
double historyAverage(const WidthHistory& history);

// The raw width of one step of the pen (dx, dy in pixels): 1024 for no
// movement, falling with the step's length, never below 5.
int stepWidth(long long dx, long long dy);

class PressureSimulator {
public:
    // With reset: forgets the history (a stroke begins) and returns 0.
    // Otherwise the pressure of the step from (px, py) to (x, y): about 0.9
    // for slow steps, down to 0.45 for fast ones.
    double simulatePressure(bool reset, int px, int py, int x, int y);

    const WidthHistory& widthHistory() const { return widthHistory_; }
    double lastWidth() const { return lastWidth_; }

private:
    WidthHistory widthHistory_;
    double lastWidth_ = 0.0;
};

} // namespace penwick
