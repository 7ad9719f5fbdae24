// A fresh work part inside an open UF_initialize bracket, for tests that call the C functions.
#pragma once

#include "model/store.hpp"

#include <uf.h>

#include <gtest/gtest.h>

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto &store = diekit::model::Store::instance();
        store.reset();
        store.set_echo(false);
        store.set_library_root("");  // no test inherits another's library
        UF_initialize();
    }
    void TearDown() override { UF_terminate(); }
    diekit::model::Store &store() { return diekit::model::Store::instance(); }
};
