// `cmake --install` into a staging directory: the filter lands in CUPS's
// filter directory, executable by everyone and writable only by its owner
// (CUPS refuses other modes), the PPD in the model directory, the stream's
// MIME type files in CUPS's MIME directory and cardstream among the programs;
// when the printer application is built, it too, and its systemd unit,
// installed but not enabled.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "FilterRun.h"
#include "TestRaster.h"

using namespace cr80test;

TEST(Install, PutsTheFilterAndThePpdWhereCupsLooks)
{
    TempDir destdir;
    ProcessResult r = runProcess({{CR80_CMAKE_COMMAND, "--install", CR80_BUILD_DIR},
                                  {{"DESTDIR", destdir.path()}},
                                  std::nullopt,
                                  120000,
                                  std::nullopt});
    ASSERT_TRUE(r.exitedWith(0)) << r.out << r.err;

    const std::string filter = destdir.path() + CR80_CUPS_FILTER_DIR "/rastertocr80";
    const std::string ppd = destdir.path() + CR80_PPD_DIR "/cr80card.ppd";
    struct stat st;
    ASSERT_EQ(stat(filter.c_str(), &st), 0) << filter << "\n" << r.out;
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    EXPECT_EQ(readFile(filter), readFile(filterPath()));
    ASSERT_EQ(stat(ppd.c_str(), &st), 0) << ppd << "\n" << r.out;
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(readFile(ppd), readFile(defaultPpdPath()));

    for (const char* mime : {"/cr80card.types", "/cr80card.convs"})
        EXPECT_EQ(readFile(destdir.path() + CR80_MIME_DIR + mime),
                  readFile(std::string(CR80_SOURCE_DIR) + "/mime" + mime));
    ASSERT_EQ(stat((destdir.path() + CR80_BIN_DIR "/cardstream").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0111, 0111u);

    // The installed filter runs.
    ProcessResult usage = runProcess({{filter}, {}, std::nullopt, 60000, std::nullopt});
    ASSERT_TRUE(usage.exitedWith(0)) << usage.startError;
    EXPECT_NE(usage.err.find("raster job-id user title copies options [file]"), std::string::npos) << usage.err;

#ifdef CR80_PRINTER_APP_PATH
    const std::string app = destdir.path() + CR80_BIN_DIR "/cr80-printer-app";
    ASSERT_EQ(stat(app.c_str(), &st), 0) << app << "\n" << r.out;
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    const std::string unit = destdir.path() + CR80_SYSTEMD_UNIT_DIR "/cr80-printer-app.service";
    ASSERT_EQ(stat(unit.c_str(), &st), 0) << unit << "\n" << r.out;
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    // The unit starts the installed program; nothing enables it (no
    // .wants link anywhere in the tree).
    const std::string text = readFile(unit);
    EXPECT_NE(text.find("\nExecStart=" CR80_BIN_DIR "/cr80-printer-app server "), std::string::npos) << text;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(destdir.path()))
        EXPECT_EQ(entry.path().string().find(".wants"), std::string::npos) << entry.path();
    // systemd accepts the unit (every key known, the program there).
    if (access("/usr/bin/systemd-analyze", X_OK) == 0) {
        std::string local = text;
        local.replace(local.find("ExecStart=") + 10, std::string(CR80_BIN_DIR).size(), destdir.path() + CR80_BIN_DIR);
        const std::string copy = destdir.path() + "/cr80-printer-app.service";
        writeFile(copy, local);
        ProcessResult verify = runProcess({{"systemd-analyze", "verify", copy}, {}, std::nullopt, 60000, std::nullopt});
        EXPECT_TRUE(verify.exitedWith(0)) << verify.out << verify.err;
        EXPECT_EQ(verify.err, "");
    }
#endif
}
