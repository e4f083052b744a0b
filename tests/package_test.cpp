// What the build installs: `cmake --install` into a staging directory, and
// the Debian package made with `cpack -G DEB` from this build tree (its
// control fields, its files with their modes and owners, maintainer scripts
// that never fail the package operation, and the live CUPS test run against
// the tree unpacked from it). Nothing is installed into the system.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include "FilterRun.h"
#include "TestRaster.h"

using namespace cr80test;

namespace {

bool runs(const std::string& program)
{
    return runCommand({program, "--version"}).exitedWith(0);
}

// The files installed with their modes as `ls -l` shows them, the programs in
// `binDir`. The filter must be executable by everyone and writable only by
// its owner (CUPS refuses other modes).
std::map<std::string, std::string> installedFiles(const std::string& binDir)
{
    return {
        {CR80_CUPS_FILTER_DIR "/rastertocr80", "-rwxr-xr-x"},
        {CR80_PPD_DIR "/cr80card.ppd", "-rw-r--r--"},
        {CR80_MIME_DIR "/cr80card.types", "-rw-r--r--"},
        {CR80_MIME_DIR "/cr80card.convs", "-rw-r--r--"},
        {binDir + "/cardstream", "-rwxr-xr-x"},
#ifdef CR80_PRINTER_APP_PATH
        // The printer application and its systemd unit (installed, not enabled).
        {binDir + "/cr80-printer-app", "-rwxr-xr-x"},
        {CR80_SYSTEMD_UNIT_DIR "/cr80-printer-app.service", "-rw-r--r--"},
#endif
    };
}

// What an install and the unpacked package both hold under `root`: the PPD
// and MIME files as in the sources, programs that run, and a unit starting
// the installed printer application.
void expectInstalledTree(const std::string& root, const std::string& binDir)
{
    EXPECT_EQ(readFile(root + CR80_PPD_DIR "/cr80card.ppd"), readFile(defaultPpdPath()));
    for (const char* mime : {"/cr80card.types", "/cr80card.convs"})
        EXPECT_EQ(readFile(root + CR80_MIME_DIR + mime), readFile(std::string(CR80_SOURCE_DIR) + "/mime" + mime));
    ProcessResult r = runCommand({root + CR80_CUPS_FILTER_DIR "/rastertocr80"});
    EXPECT_TRUE(r.exitedWith(0)) << r.startError;
    EXPECT_NE(r.err.find("raster job-id user title copies options [file]"), std::string::npos) << r.err;
    r = runCommand({root + binDir + "/cardstream", "--help"});
    EXPECT_TRUE(r.exitedWith(0)) << r.startError << r.err;
#ifdef CR80_PRINTER_APP_PATH
    const std::string unit = readFile(root + CR80_SYSTEMD_UNIT_DIR "/cr80-printer-app.service");
    EXPECT_NE(unit.find("\nExecStart=" + binDir + "/cr80-printer-app server "), std::string::npos) << unit;
#endif
}

// "Field: value" lines of `dpkg-deb -I`, the first line of each value.
std::map<std::string, std::string> controlFields(const std::string& info)
{
    std::map<std::string, std::string> fields;
    const std::regex field("^ ([A-Za-z-]+): (.*)$");
    std::istringstream in(info);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_match(line, m, field))
            fields.emplace(m[1], m[2]);
    }
    return fields;
}

// The package names of a Depends field ("libc6 (>= 2.34), cups" -> libc6, cups).
std::set<std::string> dependedPackages(const std::string& depends)
{
    std::set<std::string> names;
    const std::regex name("(?:^|,)\\s*([a-z0-9][a-z0-9+.-]*)");
    for (std::sregex_iterator it(depends.begin(), depends.end(), name), end; it != end; ++it)
        names.insert((*it)[1]);
    return names;
}

struct Entry {
    std::string mode, owner;
};

// `dpkg-deb -c` lines: "-rwxr-xr-x root/root 1234 2026-01-01 00:00 ./usr/bin/x".
std::map<std::string, Entry> fileList(const std::string& listing)
{
    std::map<std::string, Entry> files;
    const std::regex line("^(\\S+) (\\S+) +\\d+ \\S+ \\S+ \\.(/\\S*)$");
    std::istringstream in(listing);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (std::regex_match(text, m, line))
            files[m[3]] = {m[1], m[2]};
        else
            ADD_FAILURE() << "unexpected dpkg-deb -c line: " << text;
    }
    return files;
}

} // namespace

TEST(LongPackage, DebianPackageHoldsTheDriverAndPrintsThroughCups)
{
    if (!runs("cpack") || !runs("dpkg-deb") || !runs("dpkg-shlibdeps"))
        GTEST_SKIP() << "cpack, dpkg-deb or dpkg-shlibdeps is missing";
    ProcessResult arch = runCommand({"dpkg", "--print-architecture"});
    ASSERT_TRUE(arch.exitedWith(0)) << arch.startError << arch.err;
    arch.out.erase(arch.out.find_last_not_of('\n') + 1);

    TempDir dir;
    ProcessRequest cpack;
    cpack.argv = {"cpack", "-G", "DEB", "-B", dir.path()};
    cpack.workingDirectory = CR80_BUILD_DIR;
    cpack.timeoutMs = 600000;
    ProcessResult r = runProcess(cpack);
    ASSERT_TRUE(r.exitedWith(0)) << r.startError << r.out << r.err;
    const std::string deb = dir.file("cr80-card-driver_" CR80_VERSION "_" + arch.out + ".deb");
    struct stat st;
    ASSERT_EQ(stat(deb.c_str(), &st), 0) << deb << "\n" << r.out;

    // Control fields: the name and version, the libraries the programs link
    // (found by dpkg-shlibdeps) and CUPS itself.
    r = runCommand({"dpkg-deb", "-I", deb});
    ASSERT_TRUE(r.exitedWith(0)) << r.err;
    std::map<std::string, std::string> fields = controlFields(r.out);
    EXPECT_EQ(fields["Package"], "cr80-card-driver") << r.out;
    EXPECT_EQ(fields["Version"], CR80_VERSION) << r.out;
    EXPECT_EQ(fields["Architecture"], arch.out) << r.out;
    EXPECT_NE(fields["Maintainer"], "") << r.out;
    EXPECT_NE(fields["Description"], "") << r.out;
    const std::set<std::string> depends = dependedPackages(fields["Depends"]);
    for (const char* package : {"cups", "libc6", "libcups2", "libstdc++6", "libpng16-16"})
        EXPECT_EQ(depends.count(package), 1u) << package << " missing in Depends: " << fields["Depends"];
#ifdef CR80_PRINTER_APP_PATH
    EXPECT_EQ(depends.count("libpappl1"), 1u) << fields["Depends"];
#endif

    // The files at the places `cmake --install` uses (cardstream under /usr),
    // owned by root, the programs executable by all, nothing writable by others.
    r = runCommand({"dpkg-deb", "-c", deb});
    ASSERT_TRUE(r.exitedWith(0)) << r.err;
    const std::map<std::string, Entry> files = fileList(r.out);
    const std::map<std::string, std::string> expected = installedFiles(CR80_PACKAGE_BIN_DIR);
    std::map<std::string, std::string> found;
    for (const auto& [path, entry] : files) {
        EXPECT_EQ(entry.owner, "root/root") << path;
        if (entry.mode[0] == 'd')
            EXPECT_EQ(entry.mode, "drwxr-xr-x") << path;
        else
            found[path] = entry.mode;
    }
    EXPECT_EQ(found, expected) << r.out;
    for (const auto& [path, mode] : expected)
        for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
            EXPECT_EQ(files.count(path.substr(0, slash + 1)), 1u) << "no directory entry for " << path;

    // postinst and postrm: executable, and they end well whatever the init
    // system answers (here the stand-ins for systemctl and invoke-rc.d);
    // an upgrade's postrm leaves cupsd alone.
    const std::string control = dir.file("control");
    r = runCommand({"dpkg-deb", "-e", deb, control});
    ASSERT_TRUE(r.exitedWith(0)) << r.err;
    const std::string calls = dir.file("calls");
    mkdir(dir.file("stubs").c_str(), 0755);
    const bool initSystem = access("/run/systemd/system", F_OK) == 0 || access("/etc/init.d/cups", X_OK) == 0;
    for (int status : {0, 1}) {
        for (const char* stub : {"systemctl", "invoke-rc.d"}) {
            const std::string path =
                dir.write("stubs/" + std::string(stub), "#!/bin/sh\necho \"" + std::string(stub) + " $*\" >>" + calls +
                                                            "\nexit " + std::to_string(status) + "\n");
            chmod(path.c_str(), 0755);
        }
        for (const auto& [script, action, reloads] :
             {std::tuple<const char*, const char*, bool>{"postinst", "configure", true},
              {"postrm", "remove", true},
              {"postrm", "upgrade", false}}) {
            const std::string path = control + "/" + script;
            ASSERT_EQ(stat(path.c_str(), &st), 0) << script;
            EXPECT_EQ(st.st_mode & 07777, 0755u) << script;
            writeFile(calls, "");
            ProcessRequest request;
            request.argv = {"/bin/sh", path, action};
            request.env = {{"PATH", dir.file("stubs")}};
            ProcessResult s = runProcess(request);
            EXPECT_TRUE(s.exitedWith(0)) << script << " " << action << " with stubs exiting " << status << ": " << s.out
                                         << s.err;
            EXPECT_EQ(readFile(calls) != "", reloads && initSystem) << script << " " << action << "\n"
                                                                    << readFile(calls);
        }
    }

    // The unpacked tree: the (stripped) programs run, no maintainer script
    // enables the printer application, and CUPS prints with it.
    const std::string tree = dir.file("root");
    r = runCommand({"dpkg-deb", "-x", deb, tree});
    ASSERT_TRUE(r.exitedWith(0)) << r.err;
    expectInstalledTree(tree, CR80_PACKAGE_BIN_DIR);
    for (const char* script : {"postinst", "postrm"})
        EXPECT_EQ(readFile(control + "/" + script).find("enable"), std::string::npos) << script;

    ProcessRequest cups;
    cups.argv = {"/proc/self/exe", "--gtest_filter=Cups.*"};
    cups.env = {{"CR80_CUPS_TEST_TREE", tree}};
    cups.timeoutMs = 600000;
    r = runProcess(cups);
    ASSERT_TRUE(r.exitedWith(0)) << r.startError << r.out << r.err;
    if (r.out.find("[  SKIPPED ]") != std::string::npos)
        GTEST_SKIP() << "the live CUPS test skipped:\n" << r.out;
    EXPECT_NE(r.out.find("[  PASSED  ]"), std::string::npos) << r.out;
}

TEST(Install, PutsTheFilterAndThePpdWhereCupsLooks)
{
    TempDir destdir;
    const std::string root = destdir.path();
    ProcessRequest install;
    install.argv = {CR80_CMAKE_COMMAND, "--install", CR80_BUILD_DIR};
    install.env = {{"DESTDIR", root}};
    install.timeoutMs = 120000;
    ProcessResult r = runProcess(install);
    ASSERT_TRUE(r.exitedWith(0)) << r.out << r.err;
    for (const auto& [path, mode] : installedFiles(CR80_BIN_DIR)) {
        struct stat st;
        ASSERT_EQ(lstat((root + path).c_str(), &st), 0) << path << "\n" << r.out;
        std::string shown = S_ISREG(st.st_mode) ? "-" : "?";
        for (int bit = 8; bit >= 0; --bit)
            shown += (st.st_mode >> bit) & 1 ? "rwx"[(8 - bit) % 3] : '-';
        EXPECT_EQ(shown, mode) << path;
    }
    EXPECT_EQ(readFile(root + CR80_CUPS_FILTER_DIR "/rastertocr80"), readFile(filterPath()));
    expectInstalledTree(root, CR80_BIN_DIR);

#ifdef CR80_PRINTER_APP_PATH
    // Nothing enables the unit (no .wants link anywhere in the tree), and
    // systemd accepts it (every key known, the program there).
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        EXPECT_EQ(entry.path().string().find(".wants"), std::string::npos) << entry.path();
    if (access("/usr/bin/systemd-analyze", X_OK) == 0) {
        std::string local = readFile(root + CR80_SYSTEMD_UNIT_DIR "/cr80-printer-app.service");
        local.replace(local.find("ExecStart=") + 10, std::string(CR80_BIN_DIR).size(), root + CR80_BIN_DIR);
        const ProcessResult verify =
            runCommand({"systemd-analyze", "verify", destdir.write("cr80-printer-app.service", local)});
        EXPECT_TRUE(verify.exitedWith(0)) << verify.out << verify.err;
        EXPECT_EQ(verify.err, "");
    }
#endif
}
