#pragma once

#include "tests/fakes/FakeBase.h"

#include <gtest/gtest.h>

// A test on fake COM objects: its own apartment around the test, and at the
// end every reference the code under test took must have been given back.
// Derived fixtures release what they hold (and revoke their classes) in their
// TearDown before calling this one.
class FakeComTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        fakes::Reset();
    }
    void TearDown() override {
        EXPECT_EQ(std::vector<std::string>{}, fakes::Unreleased())
            << "references not given back, or calls not expected";
        fakes::Reset();
        CoUninitialize();
    }
};
