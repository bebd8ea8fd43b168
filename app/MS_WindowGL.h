// MS_WindowGL: the platform window with its OpenGL context. Creation asks
// for 8-bit RGBA, a 16-bit depth buffer, no stencil, double buffering and 4x
// multisampling in a compatibility profile, retries without multisampling
// when that is refused, then loads the OpenGL entry points and capability
// flags (GLStartup). Each frame the host draws is swapped to the screen.
//
// The context is destroyed before the window; whoever owns GL objects must
// release them before this object dies (the quit broadcast of the toolkit
// window is the last moment).
#pragma once

#include "app/MS_Window.h"

class MS_WindowGL : public MS_Window {
public:
    ~MS_WindowGL() override;

    // Starts SDL's video, creates the window with its context and sets the
    // minimum size: the whole start-up of the program's window. False after
    // printing why.
    bool Open(const MS_WindowConfig& config);
    // Prints "pixelFormat : 1" (multisampled) or "pixelFormat : 0"; on
    // failure prints one of the "[Error] MS_WindowGL : ..." messages
    // (pixelFormat: attributes refused, hdc: no window, hrc: no context).
    // Without `multisample` the first attempt is already single-sampled.
    bool CreateGL(const char* title, int width, int height, bool hidden, bool multisample = true);
    void SwapBuffers();
    void MakeCurrent();
    // Size of the default framebuffer in pixels.
    void DrawableSize(int& width, int& height) const;

protected:
    void Present() override { SwapBuffers(); }

private:
    bool SetAttributes(bool multisample);
    bool TryCreate(const char* title, int width, int height, bool hidden, int& failure);
    void DestroyContext();

    void* m_context = nullptr;
    bool m_multisampled = false;
};
