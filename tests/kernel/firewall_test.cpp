// The kernel's signal set-up: faults become exceptions, floating point never traps, and the
// process keeps its own handling of Ctrl-C.
#include "kernel_test_util.hpp"

#include <csignal>

using namespace diekit::kernel;
using namespace diekit::kernel::test;

TEST(KernelFirewall, DivisionByZeroGivesInfinityAfterKernelUse) {
    volume(block({0, 0, 0}, 1, 1, 1));
    volatile double zero = 0;
    EXPECT_TRUE(std::isinf(1.0 / zero));
    EXPECT_TRUE(std::isnan(zero / zero));
}

TEST(KernelFirewall, FaultHandlerInstalledButTerminationSignalsLeftAlone) {
    volume(block({0, 0, 0}, 1, 1, 1));
    struct sigaction action {};
    ASSERT_EQ(sigaction(SIGSEGV, nullptr, &action), 0);
    EXPECT_NE(action.sa_handler, SIG_DFL) << "access violations should reach OCCT's handler";
    // OCCT's own handler would swallow Ctrl-C (it only sets a break flag); ours keeps the default.
    ASSERT_EQ(sigaction(SIGINT, nullptr, &action), 0);
    EXPECT_EQ(action.sa_handler, SIG_DFL);
    ASSERT_EQ(sigaction(SIGTERM, nullptr, &action), 0);
    EXPECT_EQ(action.sa_handler, SIG_DFL);
}
