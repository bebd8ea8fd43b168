// Test fixture for code that draws: an OpenGL compatibility context on SDL's
// offscreen driver (Mesa's llvmpipe where there is no GPU), with the entry
// points and capability flags loaded. A test that cannot get a context fails;
// it never skips.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

class Camera;
struct SDL_Window;

class GLTest : public testing::Test {
public:
    static constexpr int kWidth = 64, kHeight = 64;

protected:
    void SetUp() override;
    void TearDown() override;

    // RGBA of one pixel of the back buffer (origin bottom-left).
    std::array<int, 4> Pixel(int x, int y) const;

private:
    SDL_Window* m_window = nullptr;
    void* m_context = nullptr;
};

// Channels within `tolerance` of each other (alpha ignored).
::testing::AssertionResult NearRGB(const std::array<int, 4>& actual, int r, int g, int b, int tolerance = 3);
// Window pixel (origin bottom-left) of a model point seen by `camera` in a
// viewport of width x height.
std::array<int, 2> ProjectToPixel(const Camera& camera, int width, int height, float x, float y, float z);
