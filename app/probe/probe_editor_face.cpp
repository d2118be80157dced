// editor --face FACE.bmp --steps LIST [--answer yes|no|cancel]... [--face-out OUT.bmp]:
// plays the editor as "Edit Current Picture" opens it on a face whose
// picture is FACE.bmp. LIST is comma-separated steps: draw (a red line from
// (5,5) to (40,30), then the commit a tool switch makes), new, load:PATH,
// save, saveas:PATH (the type from its extension), size:WxH, undo, redo,
// close. Questions take the answers in order, cancel when none is left.
// Prints each question with its answer, each file written, and at the end
// what the face got ("face: unchanged" or its size, written to OUT.bmp).
#include <QAction>
#include <QApplication>
#include <QSpinBox>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "app/probe/probe_editor.h"
#include "editor/window/image_form.h"
#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/message_box.h"
#include "platform/paths.h"

namespace pc::probe {
namespace {

namespace fs = std::filesystem;
using editor::EditorModel;
using editor::TImageForm;
using editor::ToolAction;

const char* AnswerName(Answer a)
{
    return a == Answer::Yes ? "yes" : a == Answer::No ? "no" : "cancel";
}

// Answers questions from the list and prints each with its answer.
class ListedAnswers : public MessageBoxes {
public:
    explicit ListedAnswers(std::deque<Answer> answers) : answers_(std::move(answers)) {}
    Answer Show(const MessageRequest& r) override
    {
        std::string text = r.text;
        std::replace(text.begin(), text.end(), '\n', ' ');
        if (r.buttons == Buttons::Ok) {
            std::printf("message: %s\n", text.c_str());
            return Answer::Ok;
        }
        Answer a = Answer::Cancel;
        if (!answers_.empty()) {
            a = answers_.front();
            answers_.pop_front();
        }
        std::printf("question: %s -> %s\n", text.c_str(), AnswerName(a));
        return a;
    }

private:
    std::deque<Answer> answers_;
};

// A file as last seen: a save renames a new file over the old one.
struct Seen {
    uintmax_t inode = 0, size = 0;
    fs::file_time_type time;
    bool operator==(const Seen&) const = default;
};

// The picture files in the folders the steps touch; the work folder's own
// files (the history, the list of saves) have no picture extension.
class WrittenFiles {
public:
    void Watch(const std::string& path) { folders_.insert(fs::absolute(fs::path(path)).parent_path()); }
    // Prints every file new or changed since the last call, except the first.
    void Report()
    {
        std::map<fs::path, Seen> now;
        for (const fs::path& folder : folders_) {
            std::error_code ec;
            for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
                if (!e.is_regular_file() || PictureKindOfName(e.path().string()) == PictureKind::Unknown)
                    continue;
                struct stat st {};
                if (::stat(e.path().c_str(), &st) == 0)
                    now[e.path()] = Seen{st.st_ino, uintmax_t(st.st_size), e.last_write_time()};
            }
        }
        for (const auto& [path, seen] : now) {
            const auto before = seen_.find(path);
            if (started_ && (before == seen_.end() || !(before->second == seen)))
                std::printf("wrote: %s\n", path.c_str());
        }
        seen_ = std::move(now);
        started_ = true;
    }

private:
    bool started_ = false;
    std::set<fs::path> folders_;
    std::map<fs::path, Seen> seen_;
};

std::vector<std::string> Split(const std::string& list)
{
    std::vector<std::string> steps;
    std::stringstream in(list);
    for (std::string step; std::getline(in, step, ',');)
        if (!step.empty())
            steps.push_back(step);
    return steps;
}

bool StartsWith(const std::string& s, const char* prefix, std::string& rest)
{
    const size_t n = std::strlen(prefix);
    if (s.compare(0, n, prefix) != 0)
        return false;
    rest = s.substr(n);
    return true;
}

void Draw(TImageForm& form)
{
    form.Run([&] {
        EditorModel& m = form.Model();
        m.SetPenColor(RGB(255, 0, 0));
        m.ChooseTool(ToolAction::Line);
        m.MouseDown({{5, 5}});
        m.MouseMove({{40, 30}});
        m.MouseUp({{40, 30}});
        m.ChooseTool(ToolAction::Rectangle);
    });
}

// Plays one step; false for a step it does not know.
bool Play(TImageForm& form, ProbeDialogs& dialogs, const std::string& step)
{
    std::string arg;
    int w = 0, h = 0;
    if (step == "draw")
        Draw(form);
    else if (step == "new")
        form.ANew->trigger();
    else if (StartsWith(step, "load:", arg)) {
        dialogs.open = arg;
        form.ALoad->trigger();
    } else if (step == "save")
        form.ASave->trigger();
    else if (StartsWith(step, "saveas:", arg)) {
        dialogs.save = SaveChoiceFor(arg);
        form.ASaveas->trigger();
    } else if (StartsWith(step, "size:", arg) && std::sscanf(arg.c_str(), "%dx%d", &w, &h) == 2) {
        form.CSWidth->setValue(w);
        form.CSHeight->setValue(h);
    } else if (step == "undo")
        form.AUndo->trigger();
    else if (step == "redo")
        form.ARedo->trigger();
    else if (step == "close")
        form.close();
    else
        return false;
    // A dialog a step did not open answers nothing later.
    dialogs.open.reset();
    dialogs.save.reset();
    return true;
}

} // namespace

int EditorOnFace(int argc, char** argv)
{
    std::string face, steps, faceOut;
    std::deque<Answer> answers;
    const std::map<std::string, Answer> named = {{"yes", Answer::Yes}, {"no", Answer::No}, {"cancel", Answer::Cancel}};
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (!std::strcmp(argv[i], "--face") && more)
            face = argv[++i];
        else if (!std::strcmp(argv[i], "--steps") && more)
            steps = argv[++i];
        else if (!std::strcmp(argv[i], "--answer") && more && named.count(argv[i + 1]))
            answers.push_back(named.at(argv[++i]));
        else if (!std::strcmp(argv[i], "--face-out") && more)
            faceOut = argv[++i];
        else {
            std::fprintf(stderr, "unknown or incomplete option: %s\n", argv[i]);
            return 2;
        }
    }
    if (face.empty() || steps.empty()) {
        std::fprintf(stderr, "usage: editor --face FACE.bmp --steps LIST [--answer yes|no|cancel]... "
                             "[--face-out OUT.bmp]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qargc = 1;
    QApplication app(qargc, argv);
    ListedAnswers boxes(answers);
    ScopedMessageBoxes scoped(boxes);

    // As the main window does: the face's picture goes to the hand-over file.
    const std::string handOver = WorkFolder() + "tempimage.bmp";
    try {
        WriteFileAtomic(handOver, ReadFileBytes(face));
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    ProbeDialogs dialogs;
    TImageForm form(nullptr, &dialogs);
    if (!form.OpenExecute(handOver, true))
        return 1;
    std::optional<Bitmap> faceGot;
    form.HandOver = [&](const Bitmap& picture) {
        faceGot = picture;
        if (!faceOut.empty())
            SaveBmpFile(faceOut, *faceGot);
    };
    form.show();
    QApplication::processEvents();

    WrittenFiles written;
    written.Watch(face);
    written.Watch(handOver);
    const std::vector<std::string> list = Split(steps);
    for (const std::string& step : list) {
        std::string path;
        if (StartsWith(step, "load:", path) || StartsWith(step, "saveas:", path))
            written.Watch(path);
    }
    written.Report();
    for (const std::string& step : list) {
        if (!form.isVisible())
            break;
        std::printf("step: %s\n", step.c_str());
        if (!Play(form, dialogs, step)) {
            std::fprintf(stderr, "unknown step: %s\n", step.c_str());
            return 2;
        }
        QApplication::processEvents();
        written.Report();
    }
    if (faceGot)
        std::printf("face: %dx%d\n", faceGot->Width(), faceGot->Height());
    else
        std::printf("face: unchanged\n");
    return 0;
}

} // namespace pc::probe
