// The sanitizer build really detects leaks: a child that leaks a block and
// exits 0 must be failed by LeakSanitizer at its exit. Skipped in builds
// without AddressSanitizer.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#define CR80_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CR80_ASAN 1
#endif
#endif

namespace {
void* volatile leaked;
}

TEST(SanitizerSetup, LeakDetectionIsOn)
{
#ifndef CR80_ASAN
    GTEST_SKIP() << "not a sanitizer build";
#else
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        leaked = malloc(4096);
        leaked = nullptr; // the only pointer is gone: a definite leak
        exit(0);
    }
    int status = 0;
    ASSERT_EQ(pid, waitpid(pid, &status, 0));
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(0, WEXITSTATUS(status)) << "LeakSanitizer did not fail a leaking process";
#endif
}
