#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/single_instance.h"
#include "tests/support/test_data.h"

namespace {

using namespace pc;

struct PathCase {
    const char* path;
    bool project;
};

class ProjectPathRule : public testing::TestWithParam<PathCase> {};

TEST_P(ProjectPathRule, LastExtensionInAnyCase)
{
    EXPECT_EQ(IsProjectPath(GetParam().path), GetParam().project) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(Paths, ProjectPathRule,
                         testing::Values(PathCase{"scene.qv7kb", true}, PathCase{"/home/a/Scene.QV7KB", true},
                                         PathCase{"rel/dir/x.Qv7Kb", true}, PathCase{".qv7kb", true},
                                         PathCase{"scene.qv7kb.bak", false}, PathCase{"scene", false},
                                         PathCase{"old.qv7kb/scene", false}, PathCase{"a:b.qv7kb", true},
                                         PathCase{"b.qv7kb:x", false}, PathCase{"scene.qv7k", false},
                                         PathCase{"", false}),
                         [](const auto& info) { return test::CaseName(std::string(info.param.path) + "_" + std::to_string(info.index)); });

// Every test gets its own runtime folder, so the channel is private to it.
class HandOver : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.path().string()));
    }
    void TearDown() override
    {
        for (auto& p : processes)
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(3000);
            }
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
    }

    // The real program, started the way a user starts it.
    QProcess& Start(const QStringList& args, const QString& extraVariable = {})
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!extraVariable.isEmpty())
            env.insert(extraVariable, "1");
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.path().string()));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p->setProcessEnvironment(env);
        p->setProgram(QString(PRISMCASE_BINARY_DIR) + "/prismcase");
        p->setArguments(args);
        p->setWorkingDirectory(QString::fromStdString(runtime.path().string()));
        p->start();
        EXPECT_TRUE(p->waitForStarted(5000)) << "build the prismcase target first";
        processes.push_back(std::move(p));
        return *processes.back();
    }

    // Spins the event loop until done() or the time is up.
    template <class F>
    static bool WaitFor(F done, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }

    // Connects the peer to the channel and sends it the bytes.
    static void Send(QLocalSocket& peer, const QByteArray& bytes)
    {
        peer.connectToServer(InstanceChannelName());
        ASSERT_TRUE(peer.waitForConnected(1000));
        peer.write(bytes);
        peer.flush();
    }

    std::vector<QByteArray>& Collect(InstanceListener& l)
    {
        QObject::connect(&l, &InstanceListener::ProjectReceived, [this](const QByteArray& p) { paths.push_back(p); });
        return paths;
    }

    // The real program with one argument of any bytes (QProcess would send
    // them through Qt's decoding); its exit code when it ends in time.
    std::optional<int> RunWithArgument(const std::string& arg, int ms)
    {
        const std::string program = std::string(PRISMCASE_BINARY_DIR) + "/prismcase";
        std::vector<char*> argv = {const_cast<char*>(program.c_str()), const_cast<char*>(arg.c_str()), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, runtime.path().c_str());
        pid_t pid = 0;
        int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (failed)
            return std::nullopt;
        int status = 0;
        bool ended = false;
        WaitFor([&] { return ended = ended || waitpid(pid, &status, WNOHANG) == pid; }, ms);
        if (!ended) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return std::nullopt;
        }
        return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
    }

    test::TempDir runtime;
    QByteArray oldRuntime;
    std::vector<QByteArray> paths;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(HandOver, SecondProcessDeliversAbsoluteProjectPathAndExits)
{
    InstanceListener first;
    ASSERT_TRUE(first.Listen());
    auto& received = Collect(first);

    QProcess& second = Start({"sub/Scene.QV7KB"});
    ASSERT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_EQ(int(received.size()), 1);
    EXPECT_EQ(received[0].toStdString(), runtime.file("sub/Scene.QV7KB"));
}

// File names are bytes: one that is not UTF-8 arrives as it was given.
TEST_F(HandOver, NameThatIsNotUtf8ArrivesUnchanged)
{
    InstanceListener first;
    ASSERT_TRUE(first.Listen());
    auto& received = Collect(first);

    const std::string name = "caf\xe9 \xff\xfe.qv7kb";
    EXPECT_EQ(RunWithArgument(name, 10000), std::optional<int>(0));
    ASSERT_EQ(int(received.size()), 1);
    EXPECT_EQ(received[0].toStdString(), runtime.file(name));
}

TEST_F(HandOver, OtherArgumentsStartTheirOwnWindow)
{
    InstanceListener first;
    ASSERT_TRUE(first.Listen());
    auto& received = Collect(first);
    QProcess& plain = Start({});
    QProcess& other = Start({"scene.qv7kb.bak"});
    WaitFor([] { return false; }, 1500);
    EXPECT_EQ(plain.state(), QProcess::Running);
    EXPECT_EQ(other.state(), QProcess::Running);
    EXPECT_EQ(int(received.size()), 0);
}

// A terminated instance shuts down the normal way and frees its channel.
TEST_F(HandOver, TerminatedInstanceQuitsCleanly)
{
    QProcess& running = Start({});
    ASSERT_TRUE(WaitFor([] { return std::filesystem::exists(InstanceChannelName().toStdString()); }, 8000));
    running.terminate();
    ASSERT_TRUE(WaitFor([&] { return running.state() == QProcess::NotRunning; }, 8000));
    EXPECT_EQ(running.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(running.exitCode(), 0);
    EXPECT_FALSE(std::filesystem::exists(InstanceChannelName().toStdString()));
    for (const auto& e : std::filesystem::directory_iterator(runtime.path()))
        EXPECT_FALSE(e.is_directory() && e.path().filename().string().rfind("prismcase-", 0) == 0)
            << "work folder left behind: " << e.path();
}

// With objects in the scene the close question would wait for an answer;
// a terminated instance asks nothing and still cleans up.
TEST_F(HandOver, TerminatedInstanceWithAnUnsavedSceneDoesNotWait)
{
    QProcess& running = Start({QString(PRISMCASE_BINARY_DIR) + "/Default.qv7kb"});
    ASSERT_TRUE(WaitFor([] { return std::filesystem::exists(InstanceChannelName().toStdString()); }, 8000));
    QThread::msleep(500); // the project loads once the window is up
    running.terminate();
    ASSERT_TRUE(WaitFor([&] { return running.state() == QProcess::NotRunning; }, 8000));
    EXPECT_EQ(running.exitCode(), 0);
    for (const auto& e : std::filesystem::directory_iterator(runtime.path()))
        EXPECT_FALSE(e.is_directory() && e.path().filename().string().rfind("prismcase-", 0) == 0)
            << "work folder left behind: " << e.path();
}

// The instance that relaunches is still closing: the new one keeps its project.
TEST_F(HandOver, RelaunchedInstanceDoesNotHandOver)
{
    InstanceListener first;
    ASSERT_TRUE(first.Listen());
    auto& received = Collect(first);
    QProcess& relaunched = Start({"/p/prismcase.tempproj.qv7kb"}, "PRISMCASE_RELAUNCHED");
    WaitFor([] { return false; }, 1500);
    EXPECT_EQ(relaunched.state(), QProcess::Running);
    EXPECT_TRUE(received.empty());
}

TEST_F(HandOver, WithoutListenerTheProjectProcessStartsNormally)
{
    QProcess& lone = Start({"scene.qv7kb"});
    // It becomes the first instance: it listens and takes a path itself.
    EXPECT_TRUE(WaitFor([] { return HandOverProject("/x/next.qv7kb", 200); }, 8000));
    EXPECT_EQ(lone.state(), QProcess::Running);
}

// As a file manager opening several projects together: one window takes
// them all.
TEST_F(HandOver, ProjectsLaunchedAtOnceOpenOneWindow)
{
    std::vector<QProcess*> launched;
    for (const char* name : {"a.qv7kb", "b.qv7kb", "c.qv7kb"})
        launched.push_back(&Start({name}));
    auto running = [&] {
        return std::count_if(launched.begin(), launched.end(),
                             [](QProcess* p) { return p->state() == QProcess::Running; });
    };
    ASSERT_TRUE(WaitFor([&] { return running() == 1; }, 20000)) << running() << " windows";
    for (QProcess* p : launched)
        if (p->state() != QProcess::Running)
            EXPECT_EQ(p->exitCode(), 0);
    EXPECT_TRUE(HandOverProject("/x/fourth.qv7kb", 5000));
}

TEST_F(HandOver, OnlyOneListenerAndStaleSocketsAreReplaced)
{
    {
        std::ofstream stale(InstanceChannelName().toStdString());
        stale << "left by a crashed instance";
    }
    InstanceListener first;
    EXPECT_TRUE(first.Listen());
    InstanceListener second;
    EXPECT_FALSE(second.Listen());
    EXPECT_FALSE(second.IsListening());
}

// A holder of the channel that never listens (hung while starting) is
// waited for only as long as asked; once it is gone, and once a listener
// closes, the channel is free again.
TEST_F(HandOver, AHolderThatNeverListensIsWaitedForOnlyUntilTheDeadline)
{
    const int holder = open((InstanceChannelName() + ".lock").toLocal8Bit().constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    // Ends the hold after a while whatever happens, so a wait without end
    // shows as a listener that took the channel.
    std::atomic<bool> returned = false;
    std::thread release([&] {
        for (int i = 0; i < 300 && !returned; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        close(holder);
    });
    auto listener = HandOverOrListen("/x/p.qv7kb", 300);
    returned = true;
    release.join();
    ASSERT_NE(listener, nullptr);
    EXPECT_FALSE(listener->IsListening());
    EXPECT_TRUE(listener->Listen());
    listener.reset();
    InstanceListener next;
    EXPECT_TRUE(next.Listen());
}

// The window listens on the listener the start made: a project handed over
// in between still arrives.
TEST_F(HandOver, ListeningAgainKeepsWhatArrivedMeanwhile)
{
    InstanceListener first;
    ASSERT_TRUE(first.Listen());
    auto& received = Collect(first);
    QLocalSocket peer;
    const std::vector<uint8_t> frame = MakeHandOverFrame("/p/early.qv7kb");
    Send(peer, QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size())));
    ASSERT_TRUE(first.Listen());
    ASSERT_TRUE(WaitFor([&] { return !received.empty(); }, 3000));
    EXPECT_EQ(received[0], "/p/early.qv7kb");
}

TEST_F(HandOver, HostilePeersAreDropped)
{
    InstanceListener first;
    ASSERT_TRUE(first.Listen());
    auto& received = Collect(first);

    QLocalSocket huge;
    Send(huge, QByteArray("\xff\xff\xff\xff", 4));
    EXPECT_TRUE(WaitFor([&] { return huge.state() == QLocalSocket::UnconnectedState; }, 3000));

    // A short message waits for the rest; the listener stays usable.
    QLocalSocket partial;
    Send(partial, QByteArray("\x10\x00\x00\x00/a", 6));
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(int(received.size()), 0);

    QProcess& sender = Start({"/p/ok.qv7kb"});
    ASSERT_TRUE(WaitFor([&] { return sender.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(sender.exitCode(), 0);
    ASSERT_EQ(int(received.size()), 1);
    EXPECT_EQ(received[0], "/p/ok.qv7kb");
}

} // namespace

namespace {

using namespace pc;

std::vector<uint8_t> Bytes(std::initializer_list<int> head, const std::string& tail = "")
{
    std::vector<uint8_t> v;
    for (int b : head)
        v.push_back(uint8_t(b));
    v.insert(v.end(), tail.begin(), tail.end());
    return v;
}

struct FrameCase {
    const char* name;
    std::vector<uint8_t> bytes;
    HandOverFrame result;
    std::string path;
};

class HandOverFrames : public testing::TestWithParam<FrameCase> {};

TEST_P(HandOverFrames, Parse)
{
    const auto& c = GetParam();
    std::string path = "untouched";
    EXPECT_EQ(ParseHandOverFrame(c.bytes, path), c.result);
    EXPECT_EQ(path, c.result == HandOverFrame::Complete ? c.path : "untouched");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandOverFrames,
    testing::Values(FrameCase{"Empty", {}, HandOverFrame::Incomplete, ""},
                    FrameCase{"ShortLength", Bytes({5, 0, 0}), HandOverFrame::Incomplete, ""},
                    FrameCase{"ShortPath", Bytes({5, 0, 0, 0}, "/a"), HandOverFrame::Incomplete, ""},
                    FrameCase{"EmptyPath", Bytes({0, 0, 0, 0}), HandOverFrame::Complete, ""},
                    FrameCase{"Exact", Bytes({7, 0, 0, 0}, "/a.QV7K"), HandOverFrame::Complete, "/a.QV7K"},
                    FrameCase{"TrailingBytesLeftAlone", Bytes({2, 0, 0, 0}, "/abc"), HandOverFrame::Complete, "/a"},
                    FrameCase{"JustOverLimit", Bytes({1, 0, 1, 0}), HandOverFrame::Invalid, ""},
                    FrameCase{"Huge", Bytes({0xFF, 0xFF, 0xFF, 0xFF}), HandOverFrame::Invalid, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HandOverFramesRoundTrip, LongestPathFits)
{
    for (const std::string& path : {std::string("/home/u/My Scene.qv7kb"), std::string(kMaxHandOverPath, 'x')}) {
        std::string back;
        ASSERT_EQ(ParseHandOverFrame(MakeHandOverFrame(path), back), HandOverFrame::Complete);
        EXPECT_EQ(back, path);
    }
}

} // namespace
