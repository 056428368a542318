// A fixture for tests that draw: the library started with one canvas on a
// shown host window and the recording engine's two instances of it; shut
// down afterwards, with any button a failed test left pressed released.
#pragma once

#include "test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace pwtest {

class CanvasTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        releaseLeft();
        pumpFor(20);
        if (started) {
            DestroyCanvas(canvas);
            UninitSDK();
        }
        window.reset();
    }

    // Starts the library and makes a canvas of `window`; InitSDK's result.
    // The log starts afresh.
    int start()
    {
        const int result = InitSDK();
        started = true;
        recorder.reset();
        EXPECT_EQ(InitCanvas(window->dc(), window->hwnd(), &canvas), 0);
        engines(mainEngine, previewEngine);
        return result;
    }
    // The engine instances of the one canvas made since the log was last
    // forgotten; forgets it.
    void engines(int& main, int& preview) const
    {
        const auto creates = callsOf(recorder.calls(), recorder::Call::create);
        ASSERT_EQ(creates.size(), 2u);
        main = creates[0].instance;
        preview = creates[1].instance;
        recorder.reset();
    }
    std::vector<recorder::RecordedCall> linesOf(int instance) const
    {
        return callsOf(recorder.calls(), recorder::Call::lineTo, instance);
    }

    Recorder recorder;
    std::unique_ptr<HostWindow> window;
    int canvas = -1;
    int mainEngine = 0;
    int previewEngine = 0;
    bool started = false;
};

} // namespace pwtest
