#pragma once
// What the two modes of the probe's editor command share: file dialogs
// answered from the command line and the save type of a file name.
#include <cstdio>
#include <optional>
#include <string>

#include "editor/window/editor_model.h"

namespace pc::probe {

// Each dialog takes the answer set for it, once; without one it is cancelled.
class ProbeDialogs : public editor::EditorDialogs {
public:
    std::optional<std::string> OpenPicture() override { return Take(open, "open"); }
    std::optional<editor::SaveChoice> SavePicture(const std::string&, int) override { return Take(save, "save"); }

    std::optional<std::string> open;
    std::optional<editor::SaveChoice> save;

private:
    template <class T>
    static std::optional<T> Take(std::optional<T>& answer, const char* which)
    {
        std::optional<T> taken;
        taken.swap(answer);
        if (!taken)
            std::printf("dialog: %s -> cancel\n", which);
        return taken;
    }
};

// The dialog's choice that saves path with the type of its extension.
editor::SaveChoice SaveChoiceFor(const std::string& path);

// editor --face FACE.bmp --steps LIST [--answer yes|no|cancel]... [--face-out OUT.bmp]
int EditorOnFace(int argc, char** argv);

} // namespace pc::probe
