#include "pressure.h"

#include <algorithm>
#include <cmath>

namespace penwick {

void WidthHistory::pushNewest(double value)
{
    const std::size_t kept = std::min(count_, kCapacity - 1);
    for (std::size_t i = kept; i > 0; --i)
        entries_[i] = entries_[i - 1];
    entries_[0] = value;
    count_ = kept + 1;
}

void WidthHistory::keepNewest(std::size_t count)
{
    count_ = std::min(count_, count);
}

double historyAverage(const WidthHistory& history)
{
    const std::size_t n = history.size();
    if (n == 0)
        return 0.0;
    if (n == 1)
        return history[0];
    const double count = static_cast<double>(n);
    const float k = static_cast<float>(2.0 * (1.0 - 0.01 * count) / (count * (count - 1.0)));
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        sum += (0.01 + static_cast<double>(i) * k) * history[i];
    return sum;
}

int stepWidth(long long dx, long long dy)
{
    if (dx == 0)
        dx = 1;
    if (dy == 0)
        dy = 1;
    const double d2 = static_cast<double>(dx * dx + dy * dy);
    const double raw = 1024.0 - std::pow(d2, 0.95) * 50.0 / 10.0 + 0.5;
    // Long steps give hugely negative values; stay clear of int overflow.
    if (raw <= 5.0)
        return 5;
    return std::max(static_cast<int>(raw), 5);
}

double PressureSimulator::simulatePressure(bool reset, int px, int py, int x, int y)
{
    if (reset) {
        widthHistory_.clear();
        lastWidth_ = 0.0;
        return 0.0;
    }
    widthHistory_.keepNewest(5);

    const int w = stepWidth(static_cast<long long>(x) - px, static_cast<long long>(y) - py);
    const int s = static_cast<int>(lastWidth_ + (w - lastWidth_) / 3.0 + 0.5);
    lastWidth_ = s;

    double h = s / 1000.0;
    if (h < 0.45) {
        h = 0.45;
    } else if (h > 0.9) {
        h -= 0.1 * h;
        if (h > 0.9)
            h -= 0.04;
    }
    widthHistory_.pushNewest(h);
    return 0.4 * historyAverage(widthHistory_) + 0.6 * h;
}

} // namespace penwick
