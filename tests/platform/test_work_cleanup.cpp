// What a killed instance leaves (its work folder, the temporary file of a
// save cut short) goes at the next start; a live instance's stays.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "tests/support/test_data.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kDieInSave = "PRISMCASE_TEST_DIE_IN_SAVE";

// Sets an environment variable for the scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// This test program again, running only the named test, quietly; its status.
int RunThisTestInAChild(const std::string& test)
{
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string filter = "--gtest_filter=" + test;
    std::vector<char*> argv = {const_cast<char*>(self.c_str()), const_cast<char*>(filter.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int failed = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(failed, 0);
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

TEST(StaleWork, KilledSaveAndKilledInstanceLeaveNothingAfterTheNextStart)
{
    if (const char* target = std::getenv(kDieInSave)) {
        // The child: an instance killed in the middle of a save.
        pc::WorkFolder();
        pc::SaveThroughTemp(target, [](const std::string& tmp) {
            std::ofstream(tmp) << "half a project";
            ::raise(SIGKILL);
        });
        return;
    }
    pc::test::TempDir dir;
    const fs::path run = dir.path() / "run";
    fs::create_directory(run);
    fs::permissions(run, fs::perms::owner_all, fs::perm_options::replace);
    // Only this test's folders are looked at.
    ScopedVariable runtime("XDG_RUNTIME_DIR", run.string());
    ScopedVariable temp("TMPDIR", run.string());
    const std::string saved = dir.file("scene.qv7kb"), userFile = dir.file("notes.txt");
    std::ofstream(userFile) << "mine";

    int status = 0;
    {
        ScopedVariable die(kDieInSave, saved);
        status = RunThisTestInAChild("StaleWork.KilledSaveAndKilledInstanceLeaveNothingAfterTheNextStart");
    }
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    // The child's pid is in its folder's name; find it there.
    std::string dead;
    pid_t deadPid = 0;
    for (const auto& e : fs::directory_iterator(run)) {
        std::string name = e.path().filename().string();
        deadPid = pid_t(std::atoi(name.c_str() + std::string("prismcase-").size()));
        dead = e.path().string() + "/";
    }
    ASSERT_GT(deadPid, 0);
    const std::string left = dir.file(".scene.qv7kb.tmp" + std::to_string(deadPid));
    ASSERT_TRUE(fs::exists(left)) << "the killed save left its temporary file";
    // A list that names a file of the user's is not obeyed.
    std::ofstream(dead + "saves", std::ios::app) << userFile << '\0';

    // A live instance (this process) with a save under way, and a folder
    // whose owner cannot be told.
    const std::string live = (run / ("prismcase-" + std::to_string(getpid()) + "-live")).string() + "/";
    fs::create_directory(live);
    const std::string liveSave = dir.file(".other.qv7kb.tmp" + std::to_string(getpid()));
    std::ofstream(liveSave) << "being written";
    std::ofstream(live + "saves") << liveSave << '\0';
    const fs::path unknown = run / "prismcase-Ab12Cd";
    fs::create_directory(unknown);

    pc::RemoveStaleWorkFolders();
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_FALSE(fs::exists(left));
    EXPECT_FALSE(fs::exists(saved)) << "a save cut short never takes the name";
    EXPECT_TRUE(fs::exists(userFile));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_TRUE(fs::exists(liveSave));
    EXPECT_TRUE(fs::exists(unknown));
}

} // namespace
