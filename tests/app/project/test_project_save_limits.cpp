// prismcase-probe's saves under a file-size limit, and what killed runs left.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/test_data.h"

namespace {

namespace fs = std::filesystem;

const std::string kProbe = std::string(PRISMCASE_BINARY_DIR) + "/prismcase-probe";

std::string Quoted(const std::string& s)
{
    return "'" + s + "'";
}

std::string Slurp(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder))
        out.push_back(e.path().filename().string());
    return out;
}

// A shipped template of 7 MB resaved where files may have 3000 blocks of
// 1 KB: the save fails and says so, and nothing is left beside the target.
TEST(ProbeSaveLimits, ResaveBeyondTheFileSizeLimitFailsCleanly)
{
    pc::test::TempDir dir;
    const fs::path out = dir.path() / "out";
    fs::create_directory(out);
    const std::string in = std::string(PRISMCASE_BINARY_DIR) + "/templates/Software Box.qv7kb";
    ASSERT_GT(fs::file_size(in), 3000u * 1024) << "the template no longer exceeds the limit";
    const std::string err = dir.file("err.txt");
    const std::string cmd = "ulimit -f 3000; exec " + Quoted(kProbe) + " project-resave " + Quoted(in) + " " +
                            Quoted((out / "resaved.qv7kb").string()) + " >/dev/null 2>" + Quoted(err);
    const int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(Slurp(err).find("Cannot write the project file \"" + (out / "resaved.qv7kb").string() +
                              "\": File too large\n"),
              std::string::npos)
        << Slurp(err);
    EXPECT_EQ(Names(out), std::vector<std::string>{});
}

// The probe, like the program, starts by removing the work folder and the
// temporary save file of a run that was killed.
TEST(ProbeSaveLimits, ProbeRemovesWhatAKilledRunLeft)
{
    pc::test::TempDir dir;
    const fs::path run = dir.path() / "run";
    fs::create_directory(run);
    // A pid that no longer runs: a child that has ended and been waited for.
    const pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    waitpid(dead, nullptr, 0);
    const fs::path work = run / ("prismcase-" + std::to_string(dead) + "-k1Lled");
    fs::create_directory(work);
    const std::string left = dir.file(".scene.qv7kb.tmp" + std::to_string(dead));
    std::ofstream(left) << "half a project";
    std::ofstream(work / "saves") << left << '\0';

    const std::string cmd = "XDG_RUNTIME_DIR=" + Quoted(run.string()) + " TMPDIR=" + Quoted(run.string()) + " " +
                            Quoted(kProbe) + " 3ds-info /dev/null >/dev/null 2>&1";
    std::system(cmd.c_str());
    EXPECT_FALSE(fs::exists(work));
    EXPECT_FALSE(fs::exists(left));
}

} // namespace
