// Test fixture for the palette, shape and generator command tests: an
// environment with every command registered, helpers that build small
// models directly, and the check that a model is still valid. Commands are
// always driven through console lines, the way the editor runs them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TK_TestSupport.h"
#include "model/TK_EditorEnv.h"

namespace tk_test {

// Every invariant of a valid model: size 1..126, voxels inside, one voxel
// per cell, colours 1..255, palette entry 0 zero and the rest opaque.
::testing::AssertionResult IsValidModel(const TK_Model& model);

class EditEnvTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Runs one console line; true when a command succeeded. Output is kept
    // in `output`, and the model is checked after every line.
    bool Run(const std::string& line);
    // An empty box of the given size (lookup grid rebuilt).
    void SetBox(int x, int y, int z);
    void Add(int x, int y, int z, int color);
    // Every cell of the box in one colour.
    void FillBox(int color);
    // Call after editing env->model directly.
    void Commit();
    int Count() const { return env->model.voxels.Count(); }
    int ColorAt(int x, int y, int z) const;
    // Every voxel is where the lookup grid says and no empty cell is marked:
    // a stale grid means a voxel change went unannounced.
    ::testing::AssertionResult GridMatches() const;

    std::unique_ptr<TK_EditorEnv> env;
    std::string output;
};

}  // namespace tk_test
