#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "InternalLog.h"
#include "TestRaster.h"
#include "input/PictureFiles.h"

using namespace tavgdi;
using namespace cr80test;

TEST(PictureFiles, OnlyRelativeNamesWithoutDotDotStayInside)
{
    const struct {
        const char* name;
        bool isInside;
        // clang-format off
    } cases[] = {
        {"black", true}, {"cards/front.bmp", true}, {"./a.bmp", true}, {"a//b", true},
        {"..a", true}, {"a..", true}, {"...", true}, {"a/..b/c", true},
        {nullptr, false}, {"", false}, {"/etc/passwd", false}, {"//x", false},
        {"..", false}, {"../x", false}, {"a/..", false}, {"a/../b", false}, {"a/../../x", false}, {"./..", false},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(c.isInside, PictureFiles::isNameInside(c.name)) << (c.name ? c.name : "(null)");

    EXPECT_EQ("black", PictureFiles::pathInside("", "black"));
    EXPECT_EQ("/srv/p/black", PictureFiles::pathInside("/srv/p", "black"));
    EXPECT_EQ("/srv/p/a/b", PictureFiles::pathInside("/srv/p/", "a/b"));
}

// Only regular files of at most 64 MiB are opened; links are followed to
// what they name. (A FIFO is covered by the whole-filter tests, which run
// the filter under a time limit.)
TEST(PictureFiles, OpensRegularFilesUpTo64MiB)
{
    const bool wasEnabled = InternalLog::isEnable;
    InternalLog::isEnable = false;
    TempDir dir;
    dir.write("small.bmp", "BM");
    ASSERT_EQ(0, mkdir(dir.file("sub").c_str(), 0755));
    ASSERT_EQ(0, symlink("/dev/zero", dir.file("zero").c_str()));
    ASSERT_EQ(0, symlink(dir.file("small.bmp").c_str(), dir.file("link.bmp").c_str()));
    const unsigned long long limit = PictureFiles::MaxFileSize;
    dir.write("limit.bmp", "BM");
    ASSERT_EQ(0, truncate(dir.file("limit.bmp").c_str(), static_cast<off_t>(limit)));
    dir.write("over.bmp", "BM");
    ASSERT_EQ(0, truncate(dir.file("over.bmp").c_str(), static_cast<off_t>(limit + 1)));
    const struct {
        const char* name;
        bool isOpened;
    } cases[] = {
        {"small.bmp", true}, {"link.bmp", true}, {"limit.bmp", true}, {"over.bmp", false},
        {"sub", false},      {"zero", false},    {"absent", false},
    };
    for (const auto& c : cases) {
        FILE* f = PictureFiles::openRegular(dir.file(c.name).c_str());
        EXPECT_EQ(c.isOpened, f != nullptr) << c.name;
        if (f != nullptr)
            fclose(f);
    }
    EXPECT_EQ(nullptr, PictureFiles::openRegular(nullptr));
    InternalLog::isEnable = wasEnabled;
}
