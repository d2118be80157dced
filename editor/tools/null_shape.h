#pragma once
// The tool that draws nothing (the editor's tool before any is chosen, and
// the colour picker's). It keeps no states, so undo goes to the history files.
#include "editor/tools/shape.h"

namespace pc::editor {

class CNULLShape : public CShape {
public:
    explicit CNULLShape(Canvas& canvas) : CShape(canvas, "CNULLShape") {}
    int Undo() override { return -1; }
    int Redo() override { return -1; }
    int SaveState() override { return -1; }
    bool CanUndo() const override { return false; }
    bool CanRedo() const override { return false; }
};

} // namespace pc::editor
