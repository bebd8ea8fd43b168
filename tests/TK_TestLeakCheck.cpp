// Linked into every test binary: under the leak checker, leaks are looked for
// as soon as the last test ends, while every thread the process started
// (Mesa's shader-cache writer among them) sits idle. Left to the end of the
// process, the check stops the world while the drivers tear their threads
// down, and now and then its tracer crashes after a passing run.
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>

namespace {

class LeakCheckAfterTests : public testing::Environment {
public:
    // Later calls, and the end-of-process check, do nothing.
    void TearDown() override { __lsan_do_leak_check(); }
};

testing::Environment* const gLeakCheck = testing::AddGlobalTestEnvironment(new LeakCheckAfterTests);

}  // namespace
#endif
