#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QStyleOptionViewItem>
#include <QTreeView>
#include <QString>
#include <filesystem>
#include <fstream>
#include <langinfo.h>

#include "platform/clipboard.h"
#include "platform/desktop_open.h"
#include "platform/file_dialogs.h"
#include "platform/paths.h"
#include "tests/support/test_data.h"

namespace {

TEST(Paths, WorkFolderIsPrivateAndRemoved)
{
    std::string work = pc::WorkFolder();
    ASSERT_FALSE(work.empty());
    EXPECT_EQ(work.back(), '/');
    std::string tex = pc::TextureFolder();
    EXPECT_EQ(tex, work + "Texture/");
    std::ofstream(tex + "1") << "x";
    pc::RemoveWorkFolder();
    EXPECT_FALSE(std::filesystem::exists(work));
    std::string again = pc::WorkFolder();
    EXPECT_NE(again, work); // a fresh folder, never the old one reused
    pc::RemoveWorkFolder();
}

TEST(Paths, SettingsBesideAWritableProgram)
{
    pc::SetProgramFolderForTesting(std::filesystem::temp_directory_path().string());
    std::string s = pc::SettingsPath();
    EXPECT_EQ(s, pc::ProgramFolder() + pc::ExecutableName() + ".INI");
    pc::SetProgramFolderForTesting("");
}

// Names are bytes: every one comes back from its text unchanged.
TEST(Paths, NamesThatAreNotUtf8SurviveTheirText)
{
    const std::string names[] = {
        "/plain/scene.qv7kb",
        "/home/u/caf\xc3\xa9/\xe6\x97\xa5\xe6\x9c\xac.qv7kb", // valid UTF-8
        "/tmp/caf\xe9.qv7kb",                                 // Latin-1
        "\xff\xfe\x80",                                        // bytes no encoding starts with
        "cut \xc3",                                            // a sequence cut at the end
        "over\xc0\xaflong",                                    // an overlong '/'
        "surrogate \xed\xa0\x80",                               // an encoded surrogate
        "\xf4\x90\x80\x80 past U+10FFFF",
        "emoji \xf0\x9f\x93\xa6 then \x9f",
    };
    for (const std::string& name : names) {
        QString text = pc::PathToQString(name);
        EXPECT_EQ(pc::PathFromQString(text), name) << name;
        EXPECT_FALSE(text.contains(QChar(0xFFFD))) << name;
    }
    if (std::string(nl_langinfo(CODESET)) == "UTF-8") {
        EXPECT_EQ(pc::PathToQString("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
        EXPECT_EQ(pc::PathFromQString(QString::fromUtf8("\xe6\x97\xa5")), "\xe6\x97\xa5");
    }
}

// The file dialog shows a byte that does not decode as U+FFFD; the choice
// still names the file, and a new name in such a folder keeps the folder.
TEST(Paths, DialogChoiceFindsTheFileItShowed)
{
    pc::test::TempDir dir;
    const std::string folder = dir.file("d\xfe"), file = folder + "/a\xff.qv7kb";
    std::filesystem::create_directory(folder);
    std::ofstream(file) << "x";
    std::ofstream(folder + "/plain.qv7kb") << "x";

    EXPECT_EQ(pc::PathFromDialog(QFile::decodeName(QByteArray::fromStdString(file))), file);
    EXPECT_EQ(pc::PathFromDialog(QFile::decodeName(QByteArray::fromStdString(folder + "/new.qv7kb"))),
              folder + "/new.qv7kb");
    EXPECT_EQ(pc::PathFromDialog(QFile::decodeName(QByteArray::fromStdString(folder + "/plain.qv7kb"))),
              folder + "/plain.qv7kb");
    // Two names shown alike: neither is guessed.
    std::ofstream(folder + "/a\xfe.qv7kb") << "x";
    EXPECT_NE(pc::PathFromDialog(QFile::decodeName(QByteArray::fromStdString(file))), file);
}

// xdg-open starts but finds no browser: the user hears of it, with the
// start of what it said however much it writes.
TEST(DesktopOpen, AHandlerThatFailsIsReported)
{
    const struct {
        const char* script;
        std::string reason;
    } cases[] = {
        {"echo \"xdg-open: no method available for opening '$1'\" >&2\nexit 3",
         "xdg-open: no method available for opening 'https://example.org/h'"},
        {"head -c 100000 /dev/zero | tr '\\0' x >&2\nexit 1", std::string(2000, 'x')},
    };
    for (const auto& c : cases) {
        pc::test::TempDir dir;
        std::ofstream(dir.file("xdg-open")) << "#!/bin/sh\n" << c.script << "\n";
        std::filesystem::permissions(dir.file("xdg-open"), std::filesystem::perms::owner_all);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(dir.path().string()) + ":" + path);
        std::vector<std::string> reported;
        pc::OpenWithDesktop("https://example.org/h", nullptr, [&](const std::string& m) { reported.push_back(m); });
        QElapsedTimer t;
        t.start();
        while (reported.empty() && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        qputenv("PATH", path);
        ASSERT_EQ(reported.size(), 1u) << c.script;
        EXPECT_EQ(reported[0], "No program could be started to show:\nhttps://example.org/h\n\n" + c.reason) << c.script;
    }
}

// Qt's own file dialog shows every column of a file whole.
TEST(FileDialogs, OpenWideEnoughForTheirColumns)
{
    pc::FitFileDialogColumns(*QCoreApplication::instance());
    pc::test::TempDir dir;
    std::ofstream(dir.file("a.qv7kb")) << "x";
    QFileDialog dialog(nullptr, QString(), QString::fromStdString(dir.path().string()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.show();
    auto* tree = dialog.findChild<QTreeView*>("treeView");
    ASSERT_NE(tree, nullptr);
    QElapsedTimer t;
    t.start();
    while (tree->model()->rowCount(tree->rootIndex()) == 0 && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
    QHeaderView* header = tree->header();
    ASSERT_GT(tree->model()->rowCount(tree->rootIndex()), 0);
    QStyleOptionViewItem option;
    option.initFrom(tree->viewport());
    for (int i = 1; i < header->count(); ++i) {
        const QModelIndex cell = tree->model()->index(0, i, tree->rootIndex());
        EXPECT_GE(header->sectionSize(i), tree->itemDelegate()->sizeHint(option, cell).width()) << i;
        EXPECT_LE(header->sectionViewportPosition(i) + header->sectionSize(i), tree->viewport()->width()) << i;
    }
}

TEST(Clipboard, BitmapAndPrivateFormatRoundTrip)
{
    pc::Bitmap bmp(3, 2);
    bmp.SetPixel(0, 0, pc::RGB(10, 20, 30));
    bmp.SetPixel(2, 1, pc::RGB(200, 100, 50));
    pc::clipboard::SetBitmap(bmp);
    ASSERT_TRUE(pc::clipboard::HasBitmap());
    auto back = pc::clipboard::GetBitmap();
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, bmp);

    pc::clipboard::SetData("GIF Image", {1, 2, 3});
    EXPECT_TRUE(pc::clipboard::HasFormat("GIF Image"));
    EXPECT_EQ(pc::clipboard::GetData("GIF Image"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(pc::clipboard::GetData("Other"));
}

} // namespace
