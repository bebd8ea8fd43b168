// Test fixture of the edit command tests: an environment with every command
// registered, helpers that build small models directly, a record of what the
// listeners were told, a fake window, and the check that a model is still
// valid. Commands are always driven through console lines, the way the
// editor runs them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "TK_TestSupport.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_WindowLink.h"

namespace tk_test {

// A window with the views "scene" and "pal" that records what it is asked.
struct FakeWindow : TK_WindowLink {
    bool hasFileList = true;
    std::string folder;
    std::vector<std::string> views = {"scene", "pal"}, toggled;
    std::vector<std::tuple<std::string, std::string, std::string>> attributes;
    int snaps = 0, layouts = 0;
    float uiScale = -1;

    bool FileListFolder(std::string& out) const override { return out = folder, hasFileList; }
    bool SetViewAttribute(const std::string& view, const std::string& key, const std::string& value) override {
        attributes.emplace_back(view, key, value);
        return HasView(view);
    }
    bool HasView(const std::string& view) const override {
        return std::find(views.begin(), views.end(), view) != views.end();
    }
    bool ToggleView(const std::string& view) override { return HasView(view) && (toggled.push_back(view), true); }
    void Relayout() override { ++layouts; }
    void SetUiScale(float scale) override { uiScale = scale; }
    bool Snap(const std::string&, const std::string&, bool) override { return ++snaps > 0; }
};

class EditEnvTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Runs one console line; true when a command succeeded. Output is kept
    // in `output`, and the model is checked after every line.
    bool Run(const std::string& line);
    // Runs a line that must fail, print `message` and change neither model,
    // name, paint colour nor history.
    void ExpectRefused(const std::string& line, const std::string& message);
    // An empty box of the given size (lookup grid rebuilt).
    void SetBox(int x, int y, int z);
    // A box whose cell (x, y, z) holds colourAt(x, y, z) (0: empty).
    template <typename ColourAt>
    void Shape(int x, int y, int z, ColourAt colourAt) {
        SetBox(x, y, z);
        env->model.voxels = ShapeModel(x, y, z, colourAt).voxels;
        Commit();
    }
    void Add(int x, int y, int z, int color);
    // Every cell of the box in one colour.
    void FillBox(int color);
    // Call after editing env->model directly.
    void Commit();
    int Count() const { return env->model.voxels.Count(); }
    std::vector<int> Size() const { return {env->model.size[0], env->model.size[1], env->model.size[2]}; }
    int ColorAt(int x, int y, int z) const;
    ModelState State() const { return ModelState::Of(env->model); }
    size_t History() const { return env->executor.UndoCount(); }
    // Every voxel is where the lookup grid says and no empty cell is marked:
    // a stale grid means a voxel change went unannounced.
    ::testing::AssertionResult GridMatches() const;
    // The values of the messages of one kind the listeners were told.
    std::vector<int> Told(int kind) const;
    bool Told(int kind, int value) const;
    void OnMessage(int kind, int value);

    std::unique_ptr<TK_EditorEnv> env;
    std::string output;
    // What the listeners were told, history messages counted apart.
    std::vector<std::pair<int, int>> messages;
    int historyMessages = 0;
};

}  // namespace tk_test
