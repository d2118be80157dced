// The tool's ring against a plain list-of-states model: at most nine
// undos, a push after undos drops the undone states, and an undo never
// brings back a state that was dropped or overwritten.
#include <gtest/gtest.h>

#include <random>

#include "editor/tools/line.h"
#include "editor/tools/snapshot_ring.h"

namespace pc::editor {
namespace {

// The state numbered n as a 3 x 2 picture.
Bitmap State(int n)
{
    Bitmap b(3, 2);
    b.Fill(RGB(uint8_t(n), uint8_t(n >> 8), 7));
    return b;
}

int StateOf(const Bitmap& b)
{
    const TColor c = b.Pixel(0, 0);
    return GetRValue(c) | GetGValue(c) << 8;
}

// The reference: every state ever current, the current index, and how far
// back an undo may go (ten states kept).
struct Model {
    std::vector<int> states;
    int current = -1;
    int oldest = 0;
    void Push(int n)
    {
        states.resize(size_t(current + 1));
        states.push_back(n);
        ++current;
        oldest = std::max(oldest, current - 9);
    }
    bool CanUndo() const { return current > oldest; }
    bool CanRedo() const { return current + 1 < int(states.size()); }
};

TEST(SnapshotRing, AgreesWithAListOfStatesOverRandomSequences)
{
    std::mt19937 rng(17);
    for (int run = 0; run < 200; ++run) {
        SnapshotRing ring;
        Model model;
        int next = 1;
        for (int step = 0; step < 60; ++step) {
            const int op = int(rng() % 3);
            if (op == 0) {
                ring.Push(State(next));
                model.Push(next++);
            } else if (op == 1) {
                ASSERT_EQ(ring.CanUndo(), model.CanUndo()) << run << " " << step;
                const int slot = ring.Undo();
                ASSERT_EQ(slot >= 0, model.CanUndo());
                if (slot >= 0) {
                    --model.current;
                    EXPECT_EQ(StateOf(ring.Slot(slot)), model.states[size_t(model.current)]) << run << " " << step;
                }
            } else {
                ASSERT_EQ(ring.CanRedo(), model.CanRedo()) << run << " " << step;
                const int slot = ring.Redo();
                ASSERT_EQ(slot >= 0, model.CanRedo());
                if (slot >= 0) {
                    ++model.current;
                    EXPECT_EQ(StateOf(ring.Slot(slot)), model.states[size_t(model.current)]) << run << " " << step;
                }
            }
        }
    }
}

TEST(SnapshotRing, UndoAfterNineUndosAndADrawNeverReachesOverwrittenStates)
{
    SnapshotRing ring;
    for (int n = 1; n <= 12; ++n)
        ring.Push(State(n));
    for (int i = 0; i < 9; ++i)
        ASSERT_GE(ring.Undo(), 0);
    EXPECT_EQ(ring.Undo(), -1);
    ring.Push(State(100)); // current state 3, then 100
    EXPECT_FALSE(ring.CanRedo());
    const int slot = ring.Undo();
    ASSERT_GE(slot, 0);
    EXPECT_EQ(StateOf(ring.Slot(slot)), 3);
    // State 2 was never kept: the ring held 3..12 before the push.
    EXPECT_EQ(ring.Undo(), -1);
}

TEST(SnapshotRing, SameSizedPushesReuseTheirBuffers)
{
    SnapshotRing ring;
    for (int n = 0; n < 10; ++n)
        ring.Push(State(n));
    std::vector<const uint8_t*> buffers;
    for (int s = 0; s < SnapshotRing::kSlots; ++s)
        buffers.push_back(ring.Slot(s).Data());
    for (int n = 10; n < 30; ++n)
        ring.Push(State(n));
    for (int s = 0; s < SnapshotRing::kSlots; ++s)
        EXPECT_EQ(ring.Slot(s).Data(), buffers[size_t(s)]) << s;
}

TEST(ToolRing, TenFiguresThenNineUndosEachRestoringThePreviousFigure)
{
    Bitmap picture(40, 40);
    picture.Fill(clWhite);
    Canvas canvas(picture);
    CLine tool(canvas);
    std::vector<Bitmap> after;
    EXPECT_FALSE(tool.CanRedo());
    EXPECT_EQ(tool.Redo(), -1);
    for (int i = 0; i < 10; ++i) {
        tool.MouseDown({0, 2 * i});
        tool.MouseUp({39, 2 * i});
        after.push_back(picture);
        if (i == 0)
            EXPECT_FALSE(tool.CanUndo()); // one state: nothing before it in the ring
    }
    for (int i = 8; i >= 0; --i) {
        ASSERT_TRUE(tool.CanUndo());
        ASSERT_GE(tool.Undo(), 0);
        EXPECT_EQ(picture, after[size_t(i)]) << i;
    }
    EXPECT_FALSE(tool.CanUndo());
    EXPECT_EQ(tool.Undo(), -1);
    EXPECT_EQ(picture, after[0]);
    ASSERT_GE(tool.Redo(), 0);
    EXPECT_EQ(picture, after[1]);
}

TEST(ToolRing, GripSizeFollowsThePictureSize)
{
    struct Case {
        int w, h, grip;
    };
    for (Case c : {Case{100, 30, 1}, Case{1000, 800, 5}, Case{10, 10, 1}, Case{80, 200, 4}}) {
        Bitmap picture(c.w, c.h);
        Canvas canvas(picture);
        EXPECT_EQ(CLine(canvas).GripSize(), c.grip) << c.w << "x" << c.h;
    }
}

} // namespace
} // namespace pc::editor
