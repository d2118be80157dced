// The 3ds-info probe as a reviewer runs it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include "platform/file_io.h"
#include "tests/support/test_data.h"

namespace pc {
namespace {

struct ProbeRun {
    int exitCode;
    std::string out, err;
};

ProbeRun Run3dsInfo(const test::TempDir& dir, const std::string& file)
{
    std::string out = dir.file("out.txt"), err = dir.file("err.txt");
    std::string cmd = std::string(PRISMCASE_BINARY_DIR) + "/prismcase-probe 3ds-info '" + file + "' >" + out + " 2>" + err;
    int status = std::system(cmd.c_str());
    auto slurp = [](const std::string& p) {
        std::ifstream in(p);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
}

TEST(Probe3dsInfo, ListsObjectsMaterialsAndBottom)
{
    test::TempDir dir;
    auto r = Run3dsInfo(dir, test::k3dsModels + "cubes_with_alpha.3DS");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("object \"Quader05\" vertices 26 faces 12 texcoords 26 materials 4\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("material \"Transparent\" color 178 8 0 alpha 211 map \"\"\n"), std::string::npos);
    EXPECT_NE(r.out.find("material \"01 - Default\" color 109 0 5 alpha 255 map \"BERETTA_.JPG\"\n"), std::string::npos);
    EXPECT_NE(r.out.find("bottom -0.402886\n"), std::string::npos);
}

TEST(Probe3dsInfo, DamagedFileGivesOneLineAndExitOne)
{
    test::TempDir dir;
    auto bytes = ReadFileBytes(test::k3dsModels + "test1.3ds");
    bytes.resize(bytes.size() / 2);
    WriteFileAtomic(dir.file("cut.3ds"), bytes);
    for (const auto& file : {dir.file("cut.3ds"), dir.file("missing.3ds"), test::k3dsModels + "IMAGE1.jpg"}) {
        auto r = Run3dsInfo(dir, file);
        EXPECT_EQ(r.exitCode, 1) << file;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.out, "") << file;
    }
}

} // namespace
} // namespace pc
