// TK_EditorWindow: the editor's one window object. It owns the editor
// environment, registers everything at creation (through the start-up shared
// with the headless and offscreen modes), builds its views from
// "config/editor.ui", runs the start-up script, turns key presses into
// command lines through three hotkey tables (global, edit mode, render mode)
// made from the action rows of app/TK_Actions, runs the lines its widgets
// hand it, accepts dropped files, keeps the widgets in step with the
// environment's change messages (the binding table of app/TK_WidgetBindings), autosaves while there are changes (TK_Autosave,
// driven by the host's idle call), writes the backup model when asked to
// close (a failed backup keeps the window open once) and releases its GPU
// objects when the program quits.
//
// It is also the environment's TK_WindowLink, so "ui_set", "ui_view" and
// "snap" reach its views, and "cam" the scene view's camera slots. Without an OpenGL context (tests) the renderers
// are simply not started: call EnableRendering before the start broadcast
// when a context is current.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "app/TK_Recovery.h"
#include "app/TK_WidgetBindings.h"
#include "brush/TK_BrushTable.h"
#include "core/OMB_HotkeyTable.h"
#include "core/OMB_MessageLog.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_WindowLink.h"
#include "render/TK_Renderers.h"
#include "ui/UI_Loader.h"
#include "ui/UI_Window.h"

class UI_Console;
class UI_FileDialog;
class UI_Palette;
class UI_Question;
class UI_StatusLine;
class UI_TextField;
class TK_SceneView;

class TK_EditorWindow : public UI_Window, public TK_WindowLink, private OMB_LogSink {
public:
    TK_EditorWindow();
    ~TK_EditorWindow() override;
    TK_EditorWindow(const TK_EditorWindow&) = delete;
    TK_EditorWindow& operator=(const TK_EditorWindow&) = delete;

    // Broadcasts 5, 6 and 4.
    void OnCreate() override;
    void OnStart() override;
    void OnQuit() override;
    // Writes the backup of a close asked for by the user or a signal: true
    // when it was written, or when this is the second close after a failed
    // one (the user was told and closes anyway; the autosave file stays).
    bool CanClose() override;
    // Shows the lines other threads printed, then writes the autosave when
    // one is due.
    void OnIdle(double now) override;
    // Clears the frame before the views draw (the scene draws straight
    // into its rectangle, the widgets' batches come after) and shows the
    // path tracer's progress.
    void Draw() override;
    void OnDeactivate() override { RefreshLayout(); }
    bool KeyDown(const UI_KeyState& k) override;
    void OnDropFiles(const std::vector<std::string>& paths, int x, int y) override;
    // Runs the lines of widgets; a widget's line that would replace a model
    // with unsaved changes asks first (typed lines never ask).
    void OnViewCommand(const char* text) override;
    // The environment's change listener.
    void OnEditorMessage(int kind, int flags);

    // TK_WindowLink.
    bool FileListFolder(std::string& folder) const override;
    bool SetViewAttribute(const std::string& view, const std::string& key, const std::string& value) override;
    using UI_Window::SetViewAttribute;
    bool HasView(const std::string& view) const override;
    bool ToggleView(const std::string& view) override;
    void Relayout() override { RefreshLayout(); }
    void SetUiScale(float scale) override;
    // "auto" follows the window to a display of another scale.
    void OnDisplayScaleChanged() override { SetUiScale(m_env.workspace.uiScale); }
    uint64_t MessageMark() const override { return m_log.Serial(); }
    void ShowMessagesFrom(uint64_t mark) override;
    bool Snap(const std::string& view, const std::string& path, bool alpha) override;
    bool SaveSceneCamera(const std::string& path) override;
    bool LoadSceneCamera(const std::string& path) override;
    // Opens the "dialog" view in place of the scene; false without one.
    bool AskForFile(const OS_FileRequest& request) override;
    bool ClaimRecovery(TK_Model& model, TK_ModelLook& look, std::string& keptAs) override;

    // The font and the renderers load in OnStart, and the scene view draws,
    // only when this was called before the create broadcast (a context is
    // current).
    void EnableRendering() { m_rendering = true; }
    // The description file; "config/editor.ui" under the data folder
    // unless set before the create broadcast.
    void SetDescriptionPath(const std::string& path) { m_descriptionPath = path; }

    TK_EditorEnv& Env() { return m_env; }
    TK_Renderers& Renderers() { return m_renderers; }
    TK_Autosave& Autosave() { return m_autosave; }
    TK_SceneView* SceneView() const { return m_sceneView; }
    UI_Palette* PaletteView() const { return m_paletteView; }
    UI_TextField* CommandField() const { return m_commandField; }
    UI_FileDialog* FileDialog() const { return m_dialog; }
    UI_Question* Question() const { return m_question; }
    // Every line printed since the window was created.
    const OMB_MessageLog& Log() const { return m_log; }
    // "Tarsk @ Ombrel", the model's name and " *" while it has unsaved changes.
    std::string CaptionFor() const;

private:
    void ShowShapeBrushes();
    // The font and the renderers (a context is current).
    void StartRendering();
    void RunLine(const std::string& line) { m_env.ExecuteText(line.c_str()); }
    // Both file lists read their folders again.
    void RelistFiles();
    void ShowCaption();
    void DialogDone(const std::string& line);
    // A line from a button, a key or a list: when it would replace a model
    // with unsaved changes, "Save changes to NAME?" comes first.
    void RunPressed(const std::string& line);
    void Answered(int answer);
    // The path tracer's samples and time at the right of the status line.
    void ShowTraceProgress();
    // OMB_LogSink: printed text reaches the log, and a frame shows it.
    void Write(const char* text, size_t size) override;

    TK_EditorEnv m_env;
    TK_Autosave m_autosave{m_env};
    TK_Renderers m_renderers;  // after the environment: shut down first
    TK_BrushTable m_brushes;
    // From the action rows (app/TK_Actions): keys that work always, in edit
    // mode, in render mode.
    OMB_HotkeyTable m_globalKeys, m_editKeys, m_renderKeys;
    TK_BoundWidgets m_bound;
    UI_ViewRegistry m_viewTypes;
    TK_SceneView* m_sceneView = nullptr;
    UI_Palette* m_paletteView = nullptr;
    UI_TextField* m_commandField = nullptr;
    UI_Console* m_console = nullptr;
    UI_StatusLine* m_status = nullptr;
    UI_FileDialog* m_dialog = nullptr;
    UI_Question* m_question = nullptr;
    std::string m_asked;      // the line the question holds back
    std::string m_afterSave;  // runs once the save the dialog asks a name for is done
    std::string m_askedKind;  // the command of the request the dialog shows
    std::map<std::string, std::string> m_lastFolders;  // by request command
    OMB_MessageLog m_log;
    // Lines printed on other threads (the autosave's), for the main thread.
    std::thread::id m_mainThread = std::this_thread::get_id();
    std::mutex m_queueLock;
    std::string m_queued;
    int m_traceSamples = -1;
    double m_traceSeconds = 0;
    double m_traceLeft = -1;
    std::string m_descriptionPath;
    bool m_rendering = false;
    bool m_quit = false;
    bool m_backupTried = false, m_backupWritten = false, m_closeRefused = false;
};
