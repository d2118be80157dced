// publish PROJECT OUT --size WxH --method auto|accumulation|halftone|none|convolution
//         [--transparent] [--type jpg|png24|png8|gif|bmp]
// Loads the project into the main window on the offscreen platform and
// publishes it silently, the colour dialog answered with OK.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QSlider>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "app/publish/bmp32_adjust.h"
#include "app/window/main_window.h"
#include "app/window/project_commands.h"
#include "app/probe/probe_registry.h"
#include "app/probe/probe_session.h"
#include "app/window/publish_command.h"
#include "app/window/tagged_action.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/message_box.h"

namespace {

int Fail(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
    return 1;
}

int Publish(int argc, char** argv)
{
    const char* usage = "usage: publish PROJECT OUT --size WxH --method auto|accumulation|halftone|none|convolution "
                        "[--transparent] [--type jpg|png24|png8|gif|bmp]";
    std::string project, out, method = "auto", type = "bmp";
    int width = 0, height = 0;
    bool transparent = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--size" && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 1 || height < 1)
                return Fail(std::string("bad size: ") + argv[i]);
        } else if (a == "--method" && i + 1 < argc)
            method = argv[++i];
        else if (a == "--type" && i + 1 < argc)
            type = argv[++i];
        else if (a == "--transparent")
            transparent = true;
        else if (project.empty())
            project = a;
        else if (out.empty())
            out = a;
        else
            return Fail("unknown option: " + a);
    }
    if (out.empty() || width == 0)
        return Fail(usage);
    static const std::map<std::string, pc::PublishType> types = {{"jpg", pc::PublishType::Jpeg},
                                                                 {"png24", pc::PublishType::Png24},
                                                                 {"png8", pc::PublishType::PngCustom},
                                                                 {"gif", pc::PublishType::Gif},
                                                                 {"bmp", pc::PublishType::Bmp}};
    if (!types.count(type))
        return Fail("unknown type: " + type);

    pc::probe::ProbeSession session(argv, true);
    pc::TFormMainQV7K& window = session.Window();
    pc::ScriptedMessageBoxes& boxes = session.Boxes();
    const std::map<std::string, pc::TaggedAction*> methods = {{"auto", window.RenderMixer},
                                                              {"accumulation", window.SoftAccum1},
                                                              {"halftone", window.Halftone1},
                                                              {"none", window.RenderNone1},
                                                              {"convolution", window.Interpolation1}};
    if (!methods.count(method))
        return Fail("unknown method: " + method);
    try {
        if (!pc::FileExists(project))
            throw pc::FileError("Can not load file:\n" + project + "\nThe file does not exist.");
        window.OpenDialog1FileName = project;
        pc::TagScope mode(window.ALoadTemplate->Tag, pc::kLoadPreset);
        window.ALoadTemplateExecute();
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
    methods.at(method)->setChecked(true);
    window.BTransparent->setChecked(transparent);
    window.TBWidth->setValue(width);
    window.TBHeight->setValue(height);
    if (window.TBWidth->value() != width || window.TBHeight->value() != height)
        return Fail("The size must lie within " + std::to_string(window.TBWidth->minimum()) + " to " +
                    std::to_string(window.TBWidth->maximum()) + " by " + std::to_string(window.TBHeight->minimum()) +
                    " to " + std::to_string(window.TBHeight->maximum()) + ".");
    QApplication::processEvents();
    // "png8" takes the dialog's "8bit ( 256 colors )"; every type answers OK.
    const bool eightBit = type == "png8";
    window.Publisher->RunAdjustDialog = [eightBit](pc::TBmp32Adj& dlg) {
        if (eightBit)
            dlg.CBPNG->setCurrentIndex(1); // converts at once
        dlg.BitBtn1Click();
    };
    size_t before = boxes.Shown().size();
    auto written = window.Publisher->Execute(true, pc::PublishTarget{out, types.at(type)});
    for (size_t i = before; i < boxes.Shown().size(); ++i)
        std::fprintf(stderr, "%s\n", boxes.Shown()[i].text.c_str());
    if (!written)
        return Fail("Nothing was published.");
    std::printf("%s: %dx%d\n", written->c_str(), width, height);
    return 0;
}

pc::probe::ProbeRegistrar reg("publish",
                              "PROJECT OUT --size WxH --method auto|accumulation|halftone|none|convolution "
                              "[--transparent] [--type jpg|png24|png8|gif|bmp]",
                              Publish);

} // namespace
