// MS_OffscreenGL: an OpenGL context without a window on screen, for GPU work
// in the headless runner (the voxel shaders of "xs"). It starts SDL's video
// for hidden windows (MS_StartOffscreenVideo) unless SDL video already runs,
// makes a hidden 1 x 1 window with a compatibility-profile context,
// and loads the entry points and capability flags.
//
// The rule not to break: GL objects made in this context are released
// before it is destroyed (the evaluator keeps none between calls).
#pragma once

#include <memory>

#include "render/TK_GLVoxelShader.h"

struct SDL_Window;

class MS_OffscreenGL : public TK_GLContext {
public:
    // A current context, or null after printing
    // "[Error] MS_OffscreenGL : REASON".
    static std::unique_ptr<TK_GLContext> Create();
    ~MS_OffscreenGL() override;

    bool MakeCurrent() override;

private:
    MS_OffscreenGL() = default;

    bool m_startedVideo = false;
    SDL_Window* m_window = nullptr;
    void* m_context = nullptr;
};
