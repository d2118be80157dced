// Every short sequence of file commands on an editor opened from a face,
// played against a small reference of what each command must ask, which
// file it must write, and what the face must take on closing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "codecs/png/png_object.h"
#include "editor/window/editor_model.h"
#include "editor/window/picture_files.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/jpeg_file.h"
#include "platform/message_box.h"
#include "tests/support/test_data.h"

#include <unistd.h>

namespace pc::editor::test {
namespace {

namespace fs = std::filesystem;

enum class Step { Draw, Size, Undo, Redo, New, LoadA, LoadB, LoadC, Save, SaveAsNew, SaveAsOld, Close };
constexpr Step kSteps[] = {Step::Draw,  Step::Size,  Step::Undo, Step::Redo,      Step::New,       Step::LoadA,
                           Step::LoadB, Step::LoadC, Step::Save, Step::SaveAsNew, Step::SaveAsOld, Step::Close};
constexpr const char* kStepNames[] = {"draw",   "size",   "undo", "redo",       "new",        "load a.bmp",
                                      "load b.jpg", "load c.png", "save", "save as n.png", "save as b.bmp", "close"};
constexpr Answer kAnswers[] = {Answer::Yes, Answer::No, Answer::Cancel};
constexpr const char* kFace = "tempimage.bmp";
constexpr const char* kChanges = "Do you want to save the changes?";

// The answers to the questions and save dialogs of one sequence, in turn.
struct AnswerStream {
    std::vector<Answer> answers;
    size_t next = 0;
    Answer Take() { return next < answers.size() ? answers[next++] : Answer::Cancel; }
};

Bitmap Picture(int w, int h, int seed)
{
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, RGB(uint8_t(seed + 9 * x), uint8_t(3 * seed + 13 * y), uint8_t(x * y + seed)));
    return b;
}

Bitmap White(int w, int h)
{
    Bitmap b(w, h);
    b.Fill(clWhite);
    return b;
}

// What the editor must do, written from the rules alone.
struct Reference {
    struct File {
        Bitmap picture;
        std::vector<uint8_t> original; // as the test wrote it; empty once saved over
    };
    std::map<std::string, File> files;
    std::optional<Bitmap> savedToFace;
    // Every commit (a change, a save) gives the face the picture on screen;
    // only No to the question about the changes takes that back.
    bool faceTakesScreen = false;
    Bitmap screen;
    std::string own = kFace;
    std::optional<std::string> silent = std::string(kFace);
    bool changed = false;
    std::vector<std::string> asked;

    Answer Ask(AnswerStream& a, const std::string& text)
    {
        asked.push_back(text);
        return a.Take();
    }
    // A save; false when it was not made.
    bool Save(AnswerStream& a, std::optional<std::string> typed, bool saveAs)
    {
        if (!saveAs && !typed && !silent) {
            const Answer d = a.Take(); // the dialog: a new name, an existing one, or cancelled
            if (d == Answer::Cancel)
                return false;
            typed = d == Answer::Yes ? "n.png" : "b.bmp";
        }
        const std::string name = typed ? *typed : *silent;
        if (files.count(name) && (typed || name != own) &&
            Ask(a, "File:\n" + name + "\nhas been existed. Do you want to overwrite current file?") != Answer::Yes)
            return false;
        files[name] = File{screen, {}};
        own = name;
        if (saveAs)
            silent = name;
        changed = false;
        faceTakesScreen = true;
        if (name == kFace)
            savedToFace = screen;
        return true;
    }
    bool MayDrop(AnswerStream& a)
    {
        if (!changed)
            return true;
        const Answer answer = Ask(a, kChanges);
        if (answer == Answer::No)
            faceTakesScreen = false;
        return answer == Answer::No || (answer == Answer::Yes && Save(a, std::nullopt, false));
    }
    std::optional<Bitmap> Face() const { return faceTakesScreen ? std::optional(screen) : savedToFace; }
    void Load(AnswerStream& a, const std::string& name)
    {
        if (!MayDrop(a))
            return;
        screen = files.at(name).picture;
        own = name;
        const bool beside = name.ends_with(".bmp") || name.ends_with(".jpg");
        silent = beside ? std::optional(name.substr(0, name.size() - 4) + ".bmp") : std::nullopt;
        changed = false;
    }
    void New(AnswerStream& a)
    {
        if (!MayDrop(a))
            return;
        screen = White(screen.Width(), screen.Height());
        own.clear();
        silent.reset();
        changed = true;
    }
};

// Dialogs and questions answered from the stream; the names the folder's.
class StreamedAnswers : public EditorDialogs, public MessageBoxes {
public:
    StreamedAnswers(AnswerStream& a, const std::string& folder) : a_(a), folder_(folder) {}
    std::optional<std::string> OpenPicture() override { return std::exchange(open, std::nullopt); }
    std::optional<SaveChoice> SavePicture(const std::string&, int) override
    {
        std::optional<std::string> name = std::exchange(saveAs, std::nullopt);
        if (!name) {
            const Answer d = a_.Take();
            if (d == Answer::Cancel)
                return std::nullopt;
            name = folder_ + (d == Answer::Yes ? "n.png" : "b.bmp");
        }
        return SaveChoice{*name, name->ends_with(".png") ? kSavePng : kSaveBmp};
    }
    Answer Show(const MessageRequest& r) override
    {
        std::string text = r.text;
        if (const size_t at = text.find(folder_); at != std::string::npos)
            text.erase(at, folder_.size());
        asked.push_back(text);
        return r.buttons == Buttons::Ok ? Answer::Ok : a_.Take();
    }
    std::optional<std::string> open, saveAs;
    std::vector<std::string> asked;

private:
    AnswerStream& a_;
    std::string folder_;
};

Bitmap Screen(const EditorModel& m)
{
    Bitmap b(m.Width(), m.Height());
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.SetPixel(x, y, m.Picture().Pixel(x, y));
    return b;
}

class EverySequence : public testing::Test {
protected:
    void SetUp() override
    {
        // Every save waits for the disk; thousands of runs want a folder in memory.
        std::error_code ec;
        if (fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0) {
            memory_ = fs::path("/dev/shm") / ("prismcase-sequences-" + std::to_string(::getpid()));
            fs::create_directories(memory_, ec);
            if (ec)
                memory_.clear();
        }
        fs::create_directories(History());
        originals_ = {{kFace, Picture(23, 17, 40)}, {"a.bmp", Picture(19, 13, 90)}, {"b.bmp", Picture(25, 9, 7)}};
        for (const auto& [name, picture] : originals_)
            bytes_[name] = EncodeBmp(picture);
        SaveJpegFile(Folder() + "b.jpg", Picture(21, 15, 150), 90);
        bytes_["b.jpg"] = ReadFileBytes(Folder() + "b.jpg");
        originals_["b.jpg"] = LoadJpegFile(Folder() + "b.jpg");
        png::TPNGObject png;
        png.AssignBitmap(Picture(17, 11, 200));
        png.SaveToFile(Folder() + "c.png");
        bytes_["c.png"] = ReadFileBytes(Folder() + "c.png");
        originals_["c.png"] = Picture(17, 11, 200);
        for (const auto& [name, bytes] : bytes_)
            written_.insert(name);
    }
    void TearDown() override
    {
        std::error_code ec;
        if (!memory_.empty())
            fs::remove_all(memory_, ec);
    }
    std::string Folder() const { return (memory_.empty() ? dir.path() : memory_).string() + "/"; }
    std::string History() const { return Folder() + "history/"; }

    // Plays steps with the answers given; the first difference from the
    // reference, or nothing.
    std::optional<std::string> Play(const std::vector<Step>& steps, std::vector<Answer> answers)
    {
        // Only what the last run wrote is put back.
        for (const std::string& name : written_) {
            const auto original = bytes_.find(name);
            if (original == bytes_.end())
                fs::remove(Folder() + name);
            else
                std::ofstream(Folder() + name, std::ios::binary)
                    .write(reinterpret_cast<const char*>(original->second.data()), std::streamsize(original->second.size()));
        }
        written_.clear();
        AnswerStream modelAnswers{answers}, refAnswers{answers};
        StreamedAnswers streamed(modelAnswers, Folder());
        ScopedMessageBoxes scoped(streamed);
        EditorModel model(Folder(), streamed, History());
        model.OpenFace(Folder() + kFace);
        Reference ref;
        for (const auto& [name, picture] : originals_)
            ref.files[name] = Reference::File{picture, bytes_[name]};
        ref.screen = originals_[kFace];

        std::string played;
        int draws = 0;
        for (Step step : steps) {
            played += std::string(played.empty() ? "" : ", ") + kStepNames[int(step)];
            streamed.asked.clear();
            ref.asked.clear();
            const Bitmap before = Screen(model);
            bool learn = false, closed = false;
            std::optional<Bitmap> handedOver;
            switch (step) {
            case Step::Draw:
                ++draws;
                model.SetPenColor(RGB(uint8_t(37 * draws), uint8_t(250 - 23 * draws), uint8_t(11 * draws)));
                model.ChooseTool(ToolAction::Line);
                model.MouseDown({{2, 3}});
                model.MouseMove({{15, 9}});
                model.MouseUp({{15, 9}});
                model.ChooseTool(ToolAction::Rectangle);
                if (Screen(model) == before)
                    return played + ": the drawing changed nothing";
                ref.changed = ref.faceTakesScreen = learn = true;
                break;
            case Step::Size:
                model.SetPictureSize(model.Height() + 2, model.Width() - 3);
                ref.changed = ref.faceTakesScreen = learn = true;
                break;
            case Step::Undo:
            case Step::Redo:
                step == Step::Undo ? model.Undo() : model.Redo();
                learn = true;
                if (!(Screen(model) == before))
                    ref.changed = ref.faceTakesScreen = true;
                break;
            case Step::New:
                model.New();
                ref.New(refAnswers);
                break;
            case Step::LoadA:
            case Step::LoadB:
            case Step::LoadC: {
                const std::string name = step == Step::LoadA ? "a.bmp" : step == Step::LoadB ? "b.jpg" : "c.png";
                streamed.open = Folder() + name;
                model.Load();
                ref.Load(refAnswers, name);
                break;
            }
            case Step::Save:
                model.Save();
                ref.Save(refAnswers, std::nullopt, false);
                break;
            case Step::SaveAsNew:
            case Step::SaveAsOld: {
                const std::string name = step == Step::SaveAsNew ? "n.png" : "b.bmp";
                streamed.saveAs = Folder() + name;
                model.SaveAs();
                ref.Save(refAnswers, name, true);
                break;
            }
            case Step::Close:
                closed = model.Close([&](const Bitmap& picture) { handedOver = picture; });
                if (closed != ref.MayDrop(refAnswers))
                    return played + (closed ? ": closed" : ": stayed open");
                break;
            }
            if (learn)
                ref.screen = Screen(model);
            for (const auto& [name, file] : ref.files)
                if (file.original.empty())
                    written_.insert(name);
            if (streamed.asked != ref.asked)
                return played + ": asked " + Join(streamed.asked) + " instead of " + Join(ref.asked);
            if (const std::optional<std::string> wrong = CheckFiles(ref))
                return played + ": " + *wrong;
            if (!(Screen(model) == ref.screen))
                return played + ": the picture on screen differs";
            if (closed) {
                const std::optional<Bitmap> face = ref.Face();
                if (handedOver.has_value() != face.has_value() || (face && !(*handedOver == *face)))
                    return played + ": the face got " + (handedOver ? "a picture" : "nothing") + " instead of " +
                           (face ? "the one expected" : "nothing");
                break;
            }
        }
        return std::nullopt;
    }

    std::optional<std::string> CheckFiles(const Reference& ref)
    {
        size_t count = 0;
        for (const fs::directory_entry& e : fs::directory_iterator(Folder())) {
            if (!e.is_regular_file())
                continue;
            ++count;
            const std::string name = e.path().filename().string();
            const auto expected = ref.files.find(name);
            if (expected == ref.files.end())
                return name + " was written";
            const std::vector<uint8_t> bytes = ReadFileBytes(e.path().string());
            if (!expected->second.original.empty()) {
                if (bytes != expected->second.original)
                    return name + " was replaced";
                continue;
            }
            Bitmap onDisk;
            if (name.ends_with(".png")) {
                png::TPNGObject png;
                png.LoadFromStream(bytes);
                onDisk = png.ToBitmap();
            } else {
                onDisk = LoadBmpFile(e.path().string());
            }
            if (!(onDisk == expected->second.picture))
                return name + " holds another picture";
        }
        if (count != ref.files.size())
            return "a file is missing";
        return std::nullopt;
    }

    // After a difference the folder is put back whole.
    void RestoreAllNextRun()
    {
        for (const fs::directory_entry& e : fs::directory_iterator(Folder()))
            if (e.is_regular_file())
                written_.insert(e.path().filename().string());
        for (const auto& [name, bytes] : bytes_)
            written_.insert(name);
    }

    static std::string Join(const std::vector<std::string>& texts)
    {
        std::string all = "[";
        for (const std::string& t : texts)
            all += (all.size() > 1 ? " | " : "") + t;
        return all + "]";
    }

    pc::test::TempDir dir;
    fs::path memory_;
    std::map<std::string, Bitmap> originals_;
    std::map<std::string, std::vector<uint8_t>> bytes_;
    // Files the last run wrote.
    std::set<std::string> written_;
};

std::string Describe(const std::vector<Answer>& answers)
{
    std::string s;
    for (size_t i = 0; i < 6 && i < answers.size(); ++i)
        s += answers[i] == Answer::Yes ? "y" : answers[i] == Answer::No ? "n" : "c";
    return s;
}

TEST_F(EverySequence, UpToFourStepsAndTwoThousandRandomRunsOfTenMatchTheReference)
{
    int failures = 0;
    auto play = [&](const std::vector<Step>& steps, const std::vector<Answer>& answers) {
        if (failures >= 5)
            return;
        if (const std::optional<std::string> wrong = Play(steps, answers)) {
            ADD_FAILURE() << *wrong << " (answers " << Describe(answers) << "...)";
            ++failures;
            RestoreAllNextRun();
        }
    };
    // Saved under another name, the picture on screen still goes to the face.
    play({Step::Draw, Step::SaveAsNew, Step::Close}, {});
    play({Step::Draw, Step::Save, Step::Draw, Step::SaveAsOld, Step::Close}, {Answer::Yes});
    // The fourth step changes fastest, so every three-step start meets all
    // three turns of the answers.
    constexpr int n = int(std::size(kSteps));
    for (int i = 0; i < n * n * n * n; ++i) {
        std::vector<Answer> answers;
        for (int k = 0; k < 8; ++k)
            answers.push_back(kAnswers[(i + k) % 3]);
        play({kSteps[i / (n * n * n)], kSteps[i / (n * n) % n], kSteps[i / n % n], kSteps[i % n]}, answers);
    }
    std::mt19937 random(20261207);
    for (int run = 0; run < 2000; ++run) {
        std::vector<Step> steps;
        std::vector<Answer> answers;
        for (int k = 0; k < 10; ++k)
            steps.push_back(kSteps[random() % n]);
        for (int k = 0; k < 20; ++k)
            answers.push_back(kAnswers[random() % 3]);
        play(steps, answers);
    }
}

} // namespace
} // namespace pc::editor::test
