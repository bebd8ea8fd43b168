// The brush responders driven by mouse events over a view that looks straight down on the model: window
// point (x, y) is the column of cell (x, y). Strokes, Shift, keys, the colour and loop brushes, the table.
#include "TK_BrushTest.h"
#include "brush/TK_BoxBrush.h"
#include "brush/TK_BrushTable.h"
#include "brush/TK_ColorBrush.h"
#include "brush/TK_LoopBrush.h"
#include "brush/TK_VoxelBrush.h"
#include "core/OS_Keys.h"
#include "edit/TK_Commands.h"

namespace {

// The fixture is the brushes' host.
class ModelBrush : public tk_test::BrushTest, public TK_BrushHost {
protected:
    TK_EditorEnv* BrushEnv() override { return env.get(); }
    bool RayAt(int x, int y, TK_Ray& ray) override {
        ray = TK_Ray{{float(x) + 0.5f, float(y) + 0.5f, 100}, {0, 0, -1}};
        return true;
    }
    TK_Pick PickAt(int x, int y) override {
        TK_Ray ray;
        RayAt(x, y, ray);
        return TK_PickRay(*env, ray);
    }
    TK_Pick PointerPick() override { return PickAt(0, 0); }
    bool IsBusy() const override { return busy; }
    void SetBusy(bool b) override { busy = b; }
    bool HasHintLine() const override { return true; }
    void SetHintLine(const char* text) override { hint = text; }

    static UI_MouseState Mouse(int x, int y, int modifiers = 0) {
        UI_MouseState m;
        m.valid = true, m.x = x, m.y = y, m.left = 1, m.modifiers = modifiers;
        return m;
    }
    // Press at the first point, drag through the others, release at the last.
    void Drag(TK_ModelBrush& brush, std::initializer_list<std::array<int, 2>> path, int modifiers = 0) {
        brush.SetHost(this);
        ASSERT_TRUE(brush.LeftDown(Mouse(path.begin()[0][0], path.begin()[0][1], modifiers)));
        for (auto it = path.begin() + 1; it != path.end(); ++it) brush.LeftDrag(Mouse((*it)[0], (*it)[1], modifiers));
        brush.LeftUp(Mouse(path.end()[-1][0], path.end()[-1][1], modifiers));
    }
    int Count() const { return env->model.voxels.Count(); }

    bool busy = false;
    std::string hint;
};

TEST_F(ModelBrush, BoxStrokePreviewsIsOneUndoStepAndShiftErasesThenAttachesAgain) {
    TK_BoxBrush box(TK_BRUSH_ATTACH);
    box.SetHost(this);
    int messages = 0;
    struct Counter {
        int* n;
        void On(int kind, int value) { *n += kind == TK_NOTIFY_MODEL && value == TK_CHANGE_SHAPE; }
    } counter{&messages};
    env->listeners.Connect(&counter, &Counter::On);
    ASSERT_TRUE(box.LeftDown(Mouse(1, 1)));
    box.LeftDrag(Mouse(2, 2));
    box.LeftDrag(Mouse(3, 2));
    ASSERT_NE(env->previewVoxels, nullptr);
    EXPECT_EQ(env->previewVoxels->Count(), 6);  // 3 x 2 on the floor
    box.Tick(UI_TickData());
    EXPECT_EQ(hint, "\a 3   \a 2   \a 1  ");
    box.LeftUp(Mouse(3, 2));
    env->listeners.Disconnect(&counter);
    EXPECT_GE(messages, 3);  // shown, rebuilt, cleared
    EXPECT_EQ(Count(), 6);
    EXPECT_EQ(env->executor.UndoCount(), 1u);
    EXPECT_EQ(env->previewVoxels, nullptr);
    EXPECT_FALSE(busy);
    EXPECT_FALSE(env->executor.IsLocked());
    box.Tick(UI_TickData());
    EXPECT_EQ(hint, "x:0   y:0   z:-1 ");
    Drag(box, {{1, 1}, {2, 1}}, 4);  // Shift: the top faces' own cells erase
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(box.Mode(), TK_BRUSH_ATTACH);
    Drag(box, {{1, 1}, {1, 1}});  // attach again: the emptied floor cell
    EXPECT_EQ(Count(), 5);
    EXPECT_EQ(env->executor.UndoCount(), 3u);
}

// Attaching where no cell is free says so.
TEST_F(ModelBrush, AttachingWithoutRoomSaysWhyNothingHappened) {
    SetSize(2, 2, 1);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) Fill(x, y, 0, 9);
    TK_BoxBrush box(TK_BRUSH_ATTACH);
    testing::internal::CaptureStdout();
    Drag(box, {{0, 0}, {1, 1}});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[Warning] no room: the box is full; grow it with size\n");
    EXPECT_EQ(env->executor.UndoCount(), 0u);
    // The top face of a box one cell high: in front of it lies no cell.
    SetSize(2, 2, 1);
    Fill(0, 0, 0, 9);
    testing::internal::CaptureStdout();
    Drag(box, {{0, 0}, {0, 0}});
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "[Warning] no room: that face is on the side of the box; grow it with size\n");
}

TEST_F(ModelBrush, PressWhileBusyIsNotTakenAndPaintNeverFills) {
    TK_BoxBrush paint(TK_BRUSH_PAINT);
    paint.SetHost(this);
    busy = true;
    EXPECT_FALSE(paint.LeftDown(Mouse(1, 1)));
    busy = false;
    Fill(2, 2, 0, 3);
    Drag(paint, {{0, 0}, {4, 4}});
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(env->model.voxels[0].colorIndex, 9);
    // Painting the same colour again changes nothing: no history entry.
    Drag(paint, {{0, 0}, {4, 4}});
    EXPECT_EQ(env->executor.UndoCount(), 1u);
}

TEST_F(ModelBrush, VoxelSizeKeysStopAtOneAndSixtyFourAndHeldShiftErases) {
    TK_VoxelBrush vox(TK_BRUSH_ATTACH);
    vox.SetHost(this);
    struct Case {
        int from, key, want;
    } cases[] = {{1, OS_KEY_MINUS, 1}, {500, OS_KEY_MINUS, 63}, {64, OS_KEY_PLUS, 64}, {63, OS_KEY_PLUS, 64}};
    for (const Case& c : cases) {
        env->settings.voxSize = c.from;
        EXPECT_TRUE(vox.KeyDown(UI_KeyState{0, c.key}));
        EXPECT_EQ(env->settings.voxSize, c.want) << c.from;
    }
    env->settings.voxSize = 1;
    Fill(3, 3, 0, 4);
    vox.KeyDown(UI_KeyState{OS_MOD_SHIFT, OS_KEY_SHIFT});
    EXPECT_EQ(vox.Mode(), TK_BRUSH_ERASE);
    Drag(vox, {{3, 3}}, 4);  // the press's Shift does not swap back
    EXPECT_EQ(Count(), 0);
    vox.KeyUp(UI_KeyState{0, OS_KEY_SHIFT});
    EXPECT_EQ(vox.Mode(), TK_BRUSH_ATTACH);
}

TEST_F(ModelBrush, ColorBrushesActOnTheClickedColour) {
    TK_RegisterCommands(env->executor);
    Fill(1, 1, 0, 4);
    Fill(2, 1, 0, 4);
    Fill(3, 1, 0, 5);
    TK_PickColorBrush pick;
    TK_ReplaceColorBrush replace;
    TK_RemoveColorBrush remove;
    Drag(pick, {{3, 1}});
    EXPECT_EQ(env->currentColorIndex, 5);
    Drag(replace, {{3, 1}});  // already the current colour: nothing
    EXPECT_EQ(env->executor.UndoCount(), 0u);
    Drag(remove, {{1, 1}});
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(env->executor.UndoCount(), 1u);
    Drag(remove, {{6, 6}});  // the ground: no command
    EXPECT_EQ(env->executor.UndoCount(), 1u);
}

TEST_F(ModelBrush, ConsecutiveLoopDragsAreOneEntryOfTheSummedOffset) {
    Fill(1, 1, 0, 4);
    TK_LoopBrush loop;
    Drag(loop, {{1, 1}, {2, 1}, {4, 1}});
    Drag(loop, {{4, 1}, {6, 1}});
    EXPECT_EQ(env->executor.UndoCount(), 1u);
    ASSERT_EQ(Count(), 1);
    EXPECT_TRUE(env->model.voxels[0].x == 6 && env->model.voxels[0].y == 1) << "moved 5 along x only";
    env->executor.Undo();
    EXPECT_EQ(env->model.voxels[0].x, 1);
}

TEST_F(ModelBrush, TableFindsEveryWordAndReportsUnknownOnes) {
    TK_BrushTable table;
    TK_RegisterBrushes(table);
    TK_ModelBrush* erase = table.Find("erase", "center");
    ASSERT_NE(erase, nullptr);
    EXPECT_EQ(erase->Mode(), TK_BRUSH_ERASE);
    EXPECT_NE(table.Find("loop", ""), nullptr);
    env->settings.brushType = 2, env->settings.brushShape = 5;
    EXPECT_EQ(table.ForSettings(env->settings), table.Find("paint", "box"));
    testing::internal::CaptureStdout();
    EXPECT_EQ(table.Find("smear", "box"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Brush unfound : smear : box\n");
}

}  // namespace
