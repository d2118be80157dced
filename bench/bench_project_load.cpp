// Loading a project of 32 objects, each with one 4096 x 4096 picture (about
// 1.6 GB), into the main window, next to copying the same file. Prints the
// ratio (goal: at most 6) and the peak resident memory the load adds per
// picture (goal: at most 110 MB). The project is made in a temporary folder;
// --objects=N makes a smaller one.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/project/project_file.h"
#include "app/settings/app_settings.h"
#include "app/window/main_window.h"
#include "app/window/project_commands.h"
#include "app/window/tagged_action.h"
#include "bench/proc_memory.h"
#include "bench/timing_reporter.h"
#include "platform/bmp_file.h"
#include "platform/message_box.h"
#include "platform/paths.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSide = 4096;
int objects = 32;
fs::path folder;
std::string project;
double peakAddedMegabytes = 0;

// Boxes with one picture each on their front; every picture differs.
void MakeProject()
{
    folder = fs::temp_directory_path() / ("prismcase-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder / "Texture");
    pc::project::Scene scene;
    for (int i = 0; i < objects; ++i) {
        pc::Bitmap picture(kSide, kSide, pc::PixelFormat::pf24bit);
        for (int y = 0; y < kSide; ++y) {
            uint8_t* row = picture.ScanLine(y);
            for (int x = 0; x < kSide * 3; ++x)
                row[x] = uint8_t(x * (i + 1) + y);
        }
        pc::SaveBmpFile((folder / "Texture" / std::to_string(i + 1)).string(), picture);
        pc::project::Object box;
        box.faces[0].textureId = i + 1;
        scene.objects[size_t(i)] = box;
    }
    project = (folder / "scene.qv7kb").string();
    pc::project::WriteProject(project, scene, {(folder / "Texture/").string(), "bench"});
    fs::remove_all(folder / "Texture");
}

// What "cp" does: read and write in large pieces.
void CopyFile(const std::string& from, const std::string& to)
{
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<char> buffer(size_t(1) << 20);
    ssize_t n;
    while ((n = ::read(in, buffer.data(), buffer.size())) > 0)
        if (::write(out, buffer.data(), size_t(n)) != n)
            std::abort();
    ::close(in);
    ::close(out);
}

void BM_CopyProject(benchmark::State& state)
{
    const std::string copy = (folder / "copy.qv7kb").string();
    for (auto _ : state)
        CopyFile(project, copy);
    fs::remove(copy);
}

pc::TFormMainQV7K* window = nullptr;
pc::ScriptedMessageBoxes* boxes = nullptr;

void BM_LoadProject(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        // From an empty scene each time, so every run loads the same.
        window->OpenDialog1FileName = (folder / "none.qv7kb").string();
        pc::project::WriteProject(window->OpenDialog1FileName, pc::project::Scene{}, {"", "bench"});
        if (window->Objects.Count() > 0)
            boxes->Queue(pc::Answer::No); // the save question
        {
            pc::TagScope mode(window->ALoadTemplate->Tag, pc::kLoadPreset);
            window->ALoadTemplateExecute();
        }
        const double before = StatusMegabytes("VmRSS:");
        ResetPeak();
        window->OpenDialog1FileName = project;
        state.ResumeTiming();

        pc::TagScope mode(window->ALoadTemplate->Tag, pc::kLoadPreset);
        window->ALoadTemplateExecute();

        state.PauseTiming();
        if (window->Objects.Count() != objects)
            state.SkipWithError("the project did not load whole");
        for (const auto& shown : boxes->Shown())
            std::fprintf(stderr, "%s\n", shown.text.c_str());
        peakAddedMegabytes = std::max(peakAddedMegabytes, StatusMegabytes("VmHWM:") - before);
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_CopyProject)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--objects=", 10) == 0)
            objects = std::max(1, std::min(32, std::atoi(argv[i] + 10)));
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("GALLIUM_DRIVER", "llvmpipe", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    pc::SetProgramFolderForTesting(std::string(PRISMCASE_SOURCE_DIR) + "/data/");
    MakeProject();
    std::printf("project: %d objects, %.0f MB\n", objects, double(fs::file_size(project)) / (1 << 20));

    pc::ScriptedMessageBoxes scripted;
    pc::ScopedMessageBoxes scope(scripted);
    boxes = &scripted;
    {
        pc::TFormMainQV7K main(std::make_unique<pc::DefaultSettings>(), QStringList{});
        main.FormCreate();
        window = &main;
        TimingReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        const double copy = reporter.Real("BM_CopyProject/iterations:3/real_time");
        const double load = reporter.Real("BM_LoadProject/iterations:2/real_time");
        if (copy > 0 && load > 0)
            std::printf("load / copy: %.2f (goal: at most 6)\n", load / copy);
        std::printf("peak resident added per picture: %.1f MB (goal: at most 110)\n", peakAddedMegabytes / objects);
        window = nullptr;
    }
    pc::RemoveWorkFolder();
    fs::remove_all(folder);
    return 0;
}
