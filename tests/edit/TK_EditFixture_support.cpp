// The shared fixture of the edit command tests (see TK_EditFixture.h).
#include "TK_EditFixture.h"

#include <algorithm>

#include "edit/TK_Commands.h"

namespace tk_test {

namespace {

// Every invariant of a valid model: size 1..126, voxels inside, one voxel
// per cell, colours 1..255, palette entry 0 zero and the rest opaque.
::testing::AssertionResult IsValidModel(const TK_Model& m) {
    for (int a = 0; a < 3; ++a)
        if (m.size[a] < 1 || m.size[a] > kMaxModelSize)
            return ::testing::AssertionFailure() << "size " << a << " is " << m.size[a];
    std::vector<uint8_t> taken(size_t(m.CellCount()), 0);
    for (const Voxel& v : m.voxels) {
        if (!m.InBox(v.x, v.y, v.z))
            return ::testing::AssertionFailure() << "voxel outside " << int(v.x) << " " << int(v.y) << " " << int(v.z);
        if (v.colorIndex == 0) return ::testing::AssertionFailure() << "voxel of colour 0";
        uint8_t& cell = taken[size_t(v.x + m.size[0] * (v.y + m.size[1] * v.z))];
        if (cell) return ::testing::AssertionFailure() << "two voxels in " << int(v.x) << " " << int(v.y) << " " << int(v.z);
        cell = 1;
    }
    if (m.palette[0] != 0) return ::testing::AssertionFailure() << "palette entry 0 not empty";
    for (int i = 1; i < 256; ++i)
        if (ColorA(m.palette[i]) != 255) return ::testing::AssertionFailure() << "entry " << i << " not opaque";
    return ::testing::AssertionSuccess();
}

}  // namespace

void EditEnvTest::SetUp() {
    env = std::make_unique<TK_EditorEnv>();
    TK_RegisterCommands(env->executor);
    // What the start-up lines leave: the default palette, a paint colour.
    env->model.palette = DefaultPalette();
    env->model.ResetPaletteAlpha();
    env->currentColorIndex = 5;
    env->listeners.Connect(this, &EditEnvTest::OnMessage);
}

void EditEnvTest::OnMessage(int kind, int value) {
    if (kind == TK_NOTIFY_HISTORY)
        ++historyMessages;
    else
        messages.emplace_back(kind, value);
}

std::vector<int> EditEnvTest::Told(int kind) const {
    std::vector<int> values;
    for (const auto& m : messages)
        if (m.first == kind) values.push_back(m.second);
    return values;
}

bool EditEnvTest::Told(int kind, int value) const {
    return std::find(messages.begin(), messages.end(), std::make_pair(kind, value)) != messages.end();
}

bool EditEnvTest::Run(const std::string& line) {
    ::testing::internal::CaptureStdout();
    bool ok = env->ExecuteText(line.c_str());
    output = ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(IsValidModel(env->model)) << "after: " << line;
    return ok;
}

void EditEnvTest::ExpectRefused(const std::string& line, const std::string& message) {
    const ModelState before = State();
    const std::string name = env->model.name;
    const int color = env->currentColorIndex;
    const size_t history = History();
    EXPECT_FALSE(Run(line)) << line;
    EXPECT_NE(output.find(message), std::string::npos) << line << "\n" << output;
    EXPECT_TRUE(State() == before && env->model.name == name) << line;
    EXPECT_EQ(std::make_pair(env->currentColorIndex, History()), std::make_pair(color, history)) << line;
}

void EditEnvTest::SetBox(int x, int y, int z) {
    env->model.size[0] = x;
    env->model.size[1] = y;
    env->model.size[2] = z;
    env->model.voxels.Clear();
    env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
}

void EditEnvTest::Add(int x, int y, int z, int color) {
    env->model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(color)});
    Commit();
}

void EditEnvTest::FillBox(int color) {
    Shape(env->model.size[0], env->model.size[1], env->model.size[2], [color](int, int, int) { return color; });
}

void EditEnvTest::Commit() { env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_VOXELS); }

int EditEnvTest::ColorAt(int x, int y, int z) const {
    if (!env->model.InBox(x, y, z)) return 0;
    int i = env->VoxelAt(x, y, z);
    return i < 0 ? 0 : env->model.voxels[i].colorIndex;
}

::testing::AssertionResult EditEnvTest::GridMatches() const {
    int marked = 0;
    const int* s = env->model.size;
    for (int z = 0; z < s[2]; ++z)
        for (int y = 0; y < s[1]; ++y)
            for (int x = 0; x < s[0]; ++x) marked += env->VoxelAt(x, y, z) >= 0;
    if (marked != Count()) return ::testing::AssertionFailure() << marked << " cells marked, " << Count() << " voxels";
    for (int i = 0; i < Count(); ++i) {
        const Voxel& v = env->model.voxels[i];
        if (env->VoxelAt(v.x, v.y, v.z) != i) return ::testing::AssertionFailure() << "voxel " << i << " misplaced";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace tk_test
