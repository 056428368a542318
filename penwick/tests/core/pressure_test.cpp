#include "core/pressure.h"

#include <gtest/gtest.h>

#include <climits>

using namespace penwick;

TEST(StepWidth, FollowsTheStepLength)
{
    EXPECT_EQ(stepWidth(0, 0), 1014);     // both differences count as 1: d2 = 2
    EXPECT_EQ(stepWidth(10, 0), 623);     // d2 = 101
    EXPECT_EQ(stepWidth(0, -10), 623);
    EXPECT_EQ(stepWidth(20, 0), 5);       // d2 = 401: the raw value is negative
    EXPECT_EQ(stepWidth(3, 4), stepWidth(4, 3));
    EXPECT_GT(stepWidth(1, 1), stepWidth(2, 1));
}

TEST(StepWidth, HugeStepsStayAtTheFloor)
{
    EXPECT_EQ(stepWidth(65535, 65535), 5);
    EXPECT_EQ(stepWidth(INT_MAX, INT_MIN), 5);
}

TEST(HistoryAverage, WeightsGrowFromTheNewestAndAddUpToOne)
{
    WidthHistory history;
    EXPECT_EQ(historyAverage(history), 0.0);
    history.pushNewest(0.7);
    EXPECT_EQ(historyAverage(history), 0.7);   // one entry is its own average

    for (int n = 2; n <= 6; ++n) {
        WidthHistory ones;
        for (int i = 0; i < n; ++i)
            ones.pushNewest(1.0);
        EXPECT_NEAR(historyAverage(ones), 1.0, 1e-6) << n << " entries";

        WidthHistory newestOnly;
        for (int i = 0; i < n - 1; ++i)
            newestOnly.pushNewest(0.0);
        newestOnly.pushNewest(1.0);
        EXPECT_NEAR(historyAverage(newestOnly), 0.01, 1e-9) << n << " entries";
    }
    // Two entries: k = 2 (1 - 0.02) / 2 = 0.98, weights 0.01 (newest) and 0.99.
    WidthHistory two;
    two.pushNewest(0.45);
    two.pushNewest(0.563);
    EXPECT_NEAR(historyAverage(two), 0.01 * 0.563 + 0.99 * 0.45, 1e-7);
}

TEST(WidthHistory, KeepsTheNewestSix)
{
    WidthHistory history;
    for (int i = 1; i <= 9; ++i)
        history.pushNewest(i);
    ASSERT_EQ(history.size(), 6u);
    EXPECT_EQ(history[0], 9.0);
    EXPECT_EQ(history[5], 4.0);
    history.keepNewest(5);
    EXPECT_EQ(history.size(), 5u);
    EXPECT_EQ(history[4], 5.0);
}

TEST(SimulatePressure, FirstStepsOfAStillPen)
{
    PressureSimulator simulator;
    EXPECT_EQ(simulator.simulatePressure(true, 0, 0, 0, 0), 0.0);
    // w = 1014, s = 1014 / 3 + 0.5 -> 338, h = 0.338 -> raised to 0.45.
    EXPECT_NEAR(simulator.simulatePressure(false, 100, 100, 100, 100), 0.45, 1e-12);
    EXPECT_EQ(simulator.lastWidth(), 338.0);
    // s = 338 + 676 / 3 + 0.5 -> 563, h = 0.563; history 0.563, 0.45.
    EXPECT_NEAR(simulator.simulatePressure(false, 100, 100, 100, 100),
                0.4 * (0.01 * 0.563 + 0.99 * 0.45) + 0.6 * 0.563, 1e-7);
    EXPECT_EQ(simulator.lastWidth(), 563.0);
    EXPECT_EQ(simulator.widthHistory().size(), 2u);
}

TEST(SimulatePressure, SlowWritingStaysAtOrBelowNineTenths)
{
    PressureSimulator simulator;
    simulator.simulatePressure(true, 0, 0, 0, 0);
    double pressure = 0.0;
    for (int i = 0; i < 40; ++i)
        pressure = simulator.simulatePressure(false, 50, 50, 50, 51);
    EXPECT_GT(pressure, 0.85);
    EXPECT_LE(pressure, 0.9);
    for (std::size_t i = 0; i < simulator.widthHistory().size(); ++i)
        EXPECT_LE(simulator.widthHistory()[i], 0.9);
}

TEST(SimulatePressure, FastWritingFallsToTheFloor)
{
    PressureSimulator simulator;
    simulator.simulatePressure(true, 0, 0, 0, 0);
    double pressure = 1.0;
    for (int i = 0; i < 20; ++i)
        pressure = simulator.simulatePressure(false, 0, 0, 20, 0);
    EXPECT_NEAR(pressure, 0.45, 1e-6);
}

TEST(SimulatePressure, ResetForgetsTheHistory)
{
    PressureSimulator simulator;
    for (int i = 0; i < 10; ++i)
        simulator.simulatePressure(false, 0, 0, 1, 1);
    EXPECT_EQ(simulator.simulatePressure(true, 9, 9, 9, 9), 0.0);
    EXPECT_EQ(simulator.widthHistory().size(), 0u);
    EXPECT_EQ(simulator.lastWidth(), 0.0);
    EXPECT_NEAR(simulator.simulatePressure(false, 100, 100, 100, 100), 0.45, 1e-12);
}
