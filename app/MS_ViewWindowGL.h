// MS_ViewWindowGL: the editor's window. It forwards everything the platform
// window reports (input, resizes, drops, the destroy operation) and each
// frame to one OS_WindowClient, and swaps the buffers after the frame. The
// client is not owned and must outlive the window.
#pragma once

#include "app/MS_WindowGL.h"

class MS_ViewWindowGL : public MS_WindowGL {
public:
    explicit MS_ViewWindowGL(OS_WindowClient& client) : m_client(client) {}

    // The client draws, then the buffers are swapped.
    void Frame(const OS_FrameTime& time);
    OS_WindowClient& Client() { return m_client; }

protected:
    void OnInput(const OS_InputEvent& event) override { m_client.OnInput(event); }
    void OnResize(int width, int height) override { m_client.OnResize(width, height); }
    void OnDropFiles(const std::vector<std::string>& paths, int x, int y) override {
        m_client.OnDropFiles(paths, x, y);
    }
    // The context is still current: the client releases its GL objects.
    void OnDestroy() override { m_client.OnQuit(); }
    bool OnCloseRequest() override { return m_client.OnCloseRequest(); }

private:
    OS_WindowClient& m_client;
};
