// The end-to-end fixture for tests that drive real PuTTY.
#pragma once

// Winsock before <windows.h>, which the fixture includes.
#include "real_putty.h"

#include "fixture.h"

#include <memory>
#include <string>
#include <vector>

namespace real_putty {

// A bench with real PuTTY, skipped where there is none. The listeners
// outlive the terminals.
class RealPuttyBench : public TilewickBench {
protected:
    void SetUp() override {
        std::string why;
        putty = puttyExe(&why);
        if (putty.empty())
            GTEST_SKIP() << why;
        TilewickBench::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(setPuttyDefaults(&why)) << why;
    }
    void TearDown() override {
        if (putty.empty())
            return;  // skipped: nothing was started
        TilewickBench::TearDown();
        // The terminals are gone; now their hosts may go too.
        listeners.clear();
    }

    std::wstring putty;
    std::vector<std::unique_ptr<ByteListener>> listeners;
};

}  // namespace real_putty
