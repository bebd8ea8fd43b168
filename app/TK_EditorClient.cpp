// The editor window's platform client (see TK_EditorClient.h).
#include "app/TK_EditorClient.h"

#include "app/MS_UIBridge.h"
#include "app/MS_Window.h"
#include "app/TK_Startup.h"
#include "core/OMB_Log.h"

TK_EditorClient::TK_EditorClient(const TK_Options& options) : m_options(options) {}

TK_EditorClient::~TK_EditorClient() = default;

MS_AppConfig TK_EditorClient::WindowConfig() {
    MS_AppConfig config;
    config.multisample = false;
    return config;
}

void TK_EditorClient::OnCreate(OS_Window& window) {
    m_window = &window;
    if (auto* platform = dynamic_cast<MS_Window*>(&window))
        m_bridge = std::make_unique<MS_UIBridge>(*platform, m_editor);
    m_editor.EnableRendering();
    m_editor.Broadcast(UI_Event::Broadcast(UI_EVENT_CREATE));
}

void TK_EditorClient::OnStart() {
    const std::string font = m_editor.Env().workspace.dataDir + "/config/font.png";
    if (!m_editor.Canvas().LoadFont(font.c_str())) OMB_Printf("[Error] UI : cannot load font %s\n", font.c_str());
    int width = 0, height = 0;
    m_window->ClientSize(width, height);
    OnResize(width, height);
    m_editor.Broadcast(UI_Event::Broadcast(UI_EVENT_START));
    if (m_bridge) {
        const OMB_Size least = m_editor.GetMinSize();
        m_bridge->SetMinimumClientSize(least.width, least.height);
    }
    TK_EditorEnv& env = m_editor.Env();
    OMB_SetLogMode(m_options.quiet ? OMB_LogMode::ProblemsOnly : OMB_LogMode::All);
    if (!m_options.modelPath.empty() && TK_OpenModelFile(env, m_options.modelPath)) env.executor.ClearHistory();
    TK_RunConsoleLines(env, m_options.lines);
    m_editor.RequestRedraw();
}

void TK_EditorClient::OnInput(const OS_InputEvent& event) {
    if (m_bridge) m_bridge->Deliver(event);
}

void TK_EditorClient::OnFrame(const OS_FrameTime& time) {
    if (m_bridge) m_bridge->Frame(time);
}

void TK_EditorClient::OnResize(int width, int height) {
    if (m_bridge && width > 0 && height > 0) m_bridge->Resize(width, height);
}

void TK_EditorClient::OnDropFiles(const std::vector<std::string>& paths, int x, int y) {
    m_editor.OnDropFiles(paths, x, y);
}

void TK_EditorClient::OnQuit() {
    if (m_quit) return;
    m_quit = true;
    m_editor.Broadcast(UI_Event::Broadcast(UI_EVENT_QUIT));
    // The GPU objects go while the context is current.
    m_editor.Renderers().Shutdown();
}
