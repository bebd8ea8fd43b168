// TK_EditorClient: joins the editor window (UI_RezWindow) to the platform
// window. It sends the window its create and start broadcasts once the
// OpenGL context exists (font and renderers need it), opens the model named
// on the command line and runs the -c lines after the start-up script,
// passes input, size changes, frames and drops through the toolkit bridge,
// and sends the quit broadcast (the backup) while the context still exists.
#pragma once

#include <memory>

#include "app/MS_DemoApp.h"
#include "app/OS_Window.h"
#include "app/TK_CommandLine.h"
#include "app/UI_RezWindow.h"

class MS_UIBridge;

class TK_EditorClient : public OS_WindowClient {
public:
    explicit TK_EditorClient(const TK_Options& options);
    ~TK_EditorClient() override;

    void OnCreate(OS_Window& window) override;
    void OnStart() override;
    void OnInput(const OS_InputEvent& event) override;
    void OnFrame(const OS_FrameTime& time) override;
    void OnResize(int width, int height) override;
    void OnDropFiles(const std::vector<std::string>& paths, int x, int y) override;
    bool OnCloseRequest() override;
    void OnQuit() override;
    // The autosave's clock.
    void OnIdle() override;

    UI_RezWindow& Editor() { return m_editor; }
    // A frame drawn from inside a long command (a voxel shader's wait):
    // no input, no ticks, no commands.
    void DrawWhileBusy();
    // The editor's window: 1280 x 800, resizable, at least as large as the
    // layout needs. No multisampling: on a software renderer it costs more
    // than twice the frame time, and the views draw their edges as lines.
    static MS_AppConfig WindowConfig();

private:
    TK_Options m_options;
    UI_RezWindow m_editor;
    std::unique_ptr<MS_UIBridge> m_bridge;  // after the editor: destroyed first
    OS_Window* m_window = nullptr;
    bool m_quit = false;
};
