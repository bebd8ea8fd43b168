// The editor window (see TK_EditorWindow.h).
#include "app/TK_EditorWindow.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/TK_Actions.h"
#include "app/TK_WidgetBindings.h"
#include "edit/TK_Commands.h"
#include "app/TK_SceneView.h"
#include "app/TK_Startup.h"
#include "app/TK_Version.h"
#include "core/OMB_Arguments.h"
#include "core/OMB_Cause.h"
#include "core/OMB_Log.h"
#include "core/OS_FileDialog.h"
#include "core/OS_Keys.h"
#include "core/OS_Stopwatch.h"
#include "render/GLLoader.h"
#include "render/TK_Snapshot.h"
#include "ui/UI_Console.h"
#include "ui/UI_FileDialog.h"
#include "ui/UI_List.h"
#include "ui/UI_Option.h"
#include "ui/UI_Palette.h"
#include "ui/UI_Question.h"
#include "ui/UI_TextField.h"
#include "ui/UI_Theme.h"

namespace {

// The three hotkey tables, from the action rows.
void RegisterKeys(OMB_HotkeyTable& always, OMB_HotkeyTable& edit, OMB_HotkeyTable& render) {
    for (const TK_Action& action : TK_Actions())
        for (const TK_ActionKey& key : action.keys) {
            OMB_HotkeyTable& table = key.scope == TK_KeyScope::Edit     ? edit
                                     : key.scope == TK_KeyScope::Render ? render
                                                                         : always;
            table.Register(key.key, key.mods, key.repeat, action.KeyLine().c_str());
        }
}

}  // namespace

// The platform window's caption; the model's name and mark follow it.

TK_EditorWindow::TK_EditorWindow() {
    // From the first line on: start-up problems show in the window too.
    OMB_AddLogSink(this);
    SetTitle(kTarskCaption);
}

TK_EditorWindow::~TK_EditorWindow() {
    OMB_RemoveLogSink(this);
    m_env.listeners.Disconnect(this);
    m_renderers.Shutdown();
    m_env.window = nullptr;
    // The views hold pointers into the environment: drop them first.
    SetRootView(nullptr);
}

void TK_EditorWindow::OnCreate() {
    m_env.window = this;
    TK_SetupEnvironment(m_env);
    RegisterKeys(m_globalKeys, m_editKeys, m_renderKeys);
    UI_RegisterViewTypes(m_viewTypes);
    TK_RegisterEditorViewTypes(m_viewTypes);
    if (m_descriptionPath.empty()) m_descriptionPath = m_env.workspace.dataDir + "/config/editor.ui";
    SetRootView(UI_LoadViewTree(m_viewTypes, m_descriptionPath.c_str()));
    m_sceneView = UI_Cast<TK_SceneView>(FindView("scene", &TK_SceneView::kClass));
    m_paletteView = UI_Cast<UI_Palette>(FindView("pal", &UI_Palette::kClass));
    m_commandField = UI_Cast<UI_TextField>(FindView("cmd", &UI_TextField::kClass));
    m_console = UI_Cast<UI_Console>(FindView("console", &UI_Console::kClass));
    m_status = UI_Cast<UI_StatusLine>(FindView("status", &UI_StatusLine::kClass));
    m_dialog = UI_Cast<UI_FileDialog>(FindView("dialog", &UI_FileDialog::kClass));
    m_question = UI_Cast<UI_Question>(FindView("question", &UI_Question::kClass));
    if (m_console) m_console->SetLog(&m_log);
    if (m_status) m_status->SetLog(&m_log);
    if (m_dialog) m_dialog->SetDoneHandler([this](const std::string& line) { DialogDone(line); });
    ShowShapeBrushes();
    m_bound.Bind(*this);
    if (m_paletteView) m_paletteView->SetPalette(m_env.model.palette.entries);
    TK_RegisterBrushes(m_brushes);
    if (m_sceneView) {
        m_sceneView->SetEnvironment(&m_env, m_rendering ? &m_renderers : nullptr);
        m_brushes.SetHost(m_sceneView);
        m_sceneView->SetTemporaryBrushes(m_brushes.Find("pick", ""), m_brushes.Find("loop", ""),
                                         m_brushes.Find("focus", ""));
        m_sceneView->SetActiveBrush(m_brushes.ForSettings(m_env.settings));
    }
    m_env.listeners.Connect(this, &TK_EditorWindow::OnEditorMessage);
    Measure();
    SetDefaultFocus(m_sceneView);
    SetUiScale(m_env.workspace.uiScale);
}

void TK_EditorWindow::SetUiScale(float scale) { SetScale(scale > 0 ? scale : DisplayScale()); }

// The brush panel's shape options are named by their words; their captions
// come from the brushes' descriptors (their lines and keys from the actions).
void TK_EditorWindow::ShowShapeBrushes() {
    auto* group = UI_Cast<UI_OptionGroup>(FindView("b_shape", &UI_OptionGroup::kClass));
    if (!group) return;
    for (const TK_BrushDescriptor& shape : TK_ShapeBrushes()) {
        auto* option = UI_Cast<UI_TextOption>(group->OptionNamed(shape.Word()));
        if (!option) continue;
        option->SetText(shape.caption);
    }
}

void TK_EditorWindow::OnStart() {
    if (m_rendering) StartRendering();
    // The start-up script is the program's own business: show only problems.
    OMB_SetLogMode(OMB_LogMode::ProblemsOnly);
    TK_RunStartupScript(m_env);
    // In the window the material panel edits the colour one is looking at.
    RunLine("set pt_mod 1");
    OMB_SetLogMode(OMB_LogMode::All);
    // The start-up box is no unsaved work (before the name label shows it).
    m_env.unsaved = false;
    // Widgets the script did not touch show the start-up state too.
    OnEditorMessage(TK_NOTIFY_EDITOR, TK_EDITOR_COLOR | TK_EDITOR_MIRROR | TK_EDITOR_LOFT | TK_EDITOR_BRUSH |
                                          TK_EDITOR_BRUSH_SIZE);
    OnEditorMessage(TK_NOTIFY_MODEL, TK_CHANGE_NAME | TK_CHANGE_SIZE);
    OnEditorMessage(TK_NOTIFY_DISPLAY, kAllRasterFlags);
    OnEditorMessage(TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE);
    OnEditorMessage(TK_NOTIFY_HISTORY, TK_NOTIFY_NO_VALUE);
    ShowCaption();
}

void TK_EditorWindow::StartRendering() {
    std::string error;
    if (!Canvas().LoadFont(m_env.workspace.dataDir + "/fonts", error)) OMB_Printf("[Error] UI : %s\n", error.c_str());
    if (!m_renderers.Init(m_env)) OMB_Printf("[Error] raster view : no palette texture\n");
}

void TK_EditorWindow::Draw() {
    ShowTraceProgress();
    if (!m_rendering) return;
    glClearColor(kThemeWindowBackground[0], kThemeWindowBackground[1], kThemeWindowBackground[2], 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void TK_EditorWindow::OnQuit() {
    if (m_quit) return;
    m_quit = true;
    if (!m_backupTried) m_backupWritten = TK_WriteBackup(m_env);
    // Without a backup the recovery file is the work's only copy.
    if (m_backupWritten) m_autosave.Discard();
    // The GPU objects go while the context is current.
    m_renderers.Shutdown();
    if (m_rendering) Canvas().ReleaseFont();
}

bool TK_EditorWindow::CanClose() {
    m_backupTried = true;
    m_backupWritten = TK_WriteBackup(m_env);
    if (m_backupWritten || m_closeRefused) return true;
    m_closeRefused = true;
    OMB_Printf("[Error] the model has no backup : save it, or close again to quit without one\n");
    SetTitle(TK_Caption("no backup written: save, or close again to quit"));
    // A second signal ends the process at once: the reason must be out.
    std::fflush(stdout);
    return false;
}

bool TK_EditorWindow::KeyDown(const UI_KeyState& k) {
    if (k.key < 1) return false;
    if (k.key == OS_KEY_ESCAPE && m_dialog && m_dialog->IsOpen()) {
        m_dialog->Cancel();
        return true;
    }
    // The console pages wherever the keyboard is (the command field keeps
    // it after a line such as "help").
    if (m_console && !m_console->IsHidden() && (k.key == OS_KEY_PAGE_UP || k.key == OS_KEY_PAGE_DOWN))
        return m_console->KeyDown(k);
    if (k.key == OS_KEY_TAB && k.modifiers == 0 && !k.repeat) {
        if (!m_commandField) return false;
        if (FocusView() != m_commandField) {
            SetFocus(m_commandField);
            m_commandField->SetText("");
            m_commandField->Select(0, 0);
        } else {
            m_commandField->Enter();
            SetFocus(nullptr);
        }
        return true;
    }
    const int mods = k.modifiers & (OS_MOD_CTRL | OS_MOD_ALT | OS_MOD_SHIFT);
    // While a text field holds the keyboard, plain keys are typing (its
    // characters arrive as their own events): only chords and function keys
    // stay hotkeys.
    if (UI_Cast<UI_TextField>(FocusView()) && !(mods & (OS_MOD_CTRL | OS_MOD_ALT)) && k.key < OS_KEY_F1) return false;
    const char* text = m_globalKeys.Find(k.key, mods, k.repeat);
    if (!text) text = (m_env.settings.renderMode ? m_renderKeys : m_editKeys).Find(k.key, mods, k.repeat);
    if (!text) return false;
    RunPressed(text);
    return true;
}

void TK_EditorWindow::OnDropFiles(const std::vector<std::string>& paths, int x, int y) {
    if (paths.empty()) return;
    UI_View* view = HitTest(x, y);
    // The parts of a widget (a list's scroll bar) have no name: the drop
    // goes to the nearest named view around the point.
    while (view && view->Id().empty()) view = view->Parent();
    if (!view) return;
    const std::string& path = paths.front();
    std::error_code error;
    if (std::filesystem::is_directory(std::filesystem::u8path(path), error)) {
        if (UI_SameText(view->Id().c_str(), "file")) RunLine(OMB_CommandWithArgument("ui_set file root", path));
        else if (UI_SameText(view->Id().c_str(), "file_patt")) RunLine(OMB_CommandWithArgument("ui_set file_patt root", path));
        return;
    }
    RunLine(OMB_CommandWithArgument(UI_SameText(view->Id().c_str(), "pal") ? "ipal" : "i", path));
}

void TK_EditorWindow::OnViewCommand(const char* text) {
    if (!text) return;
    if (m_commandField && FocusView() == m_commandField) RunLine(text);
    else RunPressed(text);
}

void TK_EditorWindow::RunPressed(const std::string& line) {
    if (!m_env.unsaved || !m_question || !TK_LineReplacesModel(line.c_str())) {
        RunLine(line);
        return;
    }
    m_asked = line;
    if (m_sceneView) m_sceneView->SetHidden(true);
    const std::string name = m_env.model.name.empty() ? "untitled" : m_env.model.name;
    m_question->Ask("Save changes to " + name + "?", "Save", "Discard",
                    [this](UI_Question::Answer answer) { Answered(answer); });
}

void TK_EditorWindow::Answered(int answer) {
    if (m_sceneView) m_sceneView->SetHidden(false);
    RefreshLayout();
    std::string line;
    line.swap(m_asked);
    if (answer == UI_Question::kCancel) return;
    if (answer == UI_Question::kFirst) {
        RunLine("save");
        // An untitled model asks for its name first: the line waits for it.
        if (m_dialog && m_dialog->IsOpen()) {
            m_afterSave = line;
            return;
        }
        if (m_env.unsaved) return;  // the save failed: nothing is thrown away
    }
    RunLine(line);
}

// ---------------------------------------------------------------- change messages

void TK_EditorWindow::OnEditorMessage(int kind, int flags) {
    if (kind == TK_NOTIFY_MODEL || kind == TK_NOTIFY_PALETTE) ShowCaption();
    switch (kind) {
        case TK_NOTIFY_EDITOR:
            if ((flags & TK_EDITOR_COLOR) && m_paletteView) m_paletteView->Select(m_env.currentColorIndex);
            if ((flags & TK_EDITOR_BRUSH) && m_sceneView) m_sceneView->SetActiveBrush(m_brushes.ForSettings(m_env.settings));
            break;
        case TK_NOTIFY_MODEL:
            if (m_env.unsaved) m_autosave.NoteChange(OS_Seconds());
            if ((flags & TK_CHANGE_TRIM) && m_sceneView) m_sceneView->ModelChanged();
            if (flags & TK_CHANGE_FILES) RelistFiles();
            break;
        case TK_NOTIFY_PALETTE:
            if (m_env.unsaved) m_autosave.NoteChange(OS_Seconds());
            if (m_paletteView) m_paletteView->Invalidate();
            // The current colour's entry changed: show it as a new colour.
            if (flags == m_env.currentColorIndex) {
                OnEditorMessage(TK_NOTIFY_EDITOR, TK_EDITOR_COLOR);
                return;
            }
            break;
        case TK_NOTIFY_HISTORY:
        case TK_NOTIFY_DISPLAY:
        case TK_NOTIFY_RENDER: break;
        default: OMB_Printf("[Warning] undefined editor msg\n"); return;
    }
    m_bound.Show(m_env, kind, flags);
    RequestRedraw();
}

void TK_EditorWindow::RelistFiles() {
    for (const char* id : {"file", "file_patt"}) {
        if (auto* list = UI_Cast<UI_FileList>(FindView(id, &UI_FileList::kClass))) list->Update();
        else OMB_Printf("[Warning] cannot find view '%s'\n", id);
    }
}

// ---------------------------------------------------------------- caption

std::string TK_EditorWindow::CaptionFor() const { return TK_Caption(TK_ModelTitle(m_env)); }

void TK_EditorWindow::ShowCaption() { SetTitle(CaptionFor()); }

// ---------------------------------------------------------------- messages and dialogs

// Runs before the views draw, so the count is the last frame's: a change
// asks for one more frame, which shows the final count once the tracer has
// reached its target and rests.
void TK_EditorWindow::ShowTraceProgress() {
    if (!m_status) return;
    if (!m_rendering || !m_env.settings.renderMode) {
        m_status->SetRightText(std::string());
        return;
    }
    const TK_SceneRenderer_PT& tracer = m_renderers.tracer;
    if (tracer.IsPreview()) {
        m_status->SetRightText("quarter size while the camera moves");
        return;
    }
    if (tracer.Samples() != m_traceSamples) {
        m_traceSamples = tracer.Samples();
        m_traceSeconds = tracer.Elapsed();
        m_traceLeft = tracer.SecondsLeft();
    }
    m_status->SetRightText(TK_TraceProgress(m_traceSamples, tracer.Target(), m_traceSeconds, m_traceLeft));
}

void TK_EditorWindow::Write(const char* text, size_t size) {
    // The log and the redraw request belong to the main thread.
    if (std::this_thread::get_id() != m_mainThread) {
        const std::lock_guard<std::mutex> hold(m_queueLock);
        m_queued.append(text, size);
        return;
    }
    m_log.Write(text, size);
    RequestRedraw();
}

void TK_EditorWindow::OnIdle(double now) {
    std::string queued;
    {
        const std::lock_guard<std::mutex> hold(m_queueLock);
        queued.swap(m_queued);
    }
    if (!queued.empty()) Write(queued.data(), queued.size());
    m_autosave.Tick(now);
}

bool TK_EditorWindow::ClaimRecovery(TK_Model& model, TK_ModelLook& look, std::string& keptAs) {
    return TK_ClaimRecovery(m_env.workspace.cacheFolder, model, look, keptAs);
}

bool TK_EditorWindow::AskForFile(const OS_FileRequest& request) {
    if (!m_dialog) return false;
    if (m_sceneView) m_sceneView->SetHidden(true);
    // Each kind of request (its command) opens where the last one of its kind
    // was accepted in this session.
    OS_FileRequest asked = request;
    const auto last = m_lastFolders.find(request.command);
    if (last != m_lastFolders.end()) asked.folder = last->second;
    m_askedKind = request.command;
    m_dialog->Open(asked);
    return true;
}

// The accepted line runs as if typed: it is kept in the command field's
// history and printed like any other.
void TK_EditorWindow::DialogDone(const std::string& line) {
    if (m_sceneView) m_sceneView->SetHidden(false);
    RefreshLayout();
    std::string after;
    after.swap(m_afterSave);
    if (line.empty()) return;
    m_lastFolders[m_askedKind] = m_dialog->Folder();
    if (m_commandField) m_commandField->Remember(line);
    RunLine(line);
    if (!after.empty() && !m_env.unsaved) RunLine(after);
}

// ---------------------------------------------------------------- window link

bool TK_EditorWindow::FileListFolder(std::string& folder) const {
    UI_View* list = const_cast<TK_EditorWindow*>(this)->FindView("file", &UI_View::kClass);
    if (!list) return false;
    folder = m_env.workspace.modelFolder;
    return true;
}

bool TK_EditorWindow::SetViewAttribute(const std::string& view, const std::string& key, const std::string& value) {
    return UI_Window::SetViewAttribute(view.c_str(), key.c_str(), value.c_str());
}

bool TK_EditorWindow::HasView(const std::string& view) const {
    return const_cast<TK_EditorWindow*>(this)->FindView(view.c_str(), &UI_View::kClass) != nullptr;
}

bool TK_EditorWindow::ToggleView(const std::string& view) {
    // A tab's option button carries its page's id: the page is meant.
    std::vector<UI_View*> views;
    CollectViews(&UI_View::kClass, views);
    UI_View* found = nullptr;
    for (UI_View* v : views) {
        const bool better = !found || (UI_Cast<UI_Option>(found) && !UI_Cast<UI_Option>(v));
        if (better && UI_SameText(v->Id().c_str(), view.c_str())) found = v;
    }
    if (!found) return false;
    found->SetHidden(!found->IsHidden());
    return true;
}

void TK_EditorWindow::ShowMessagesFrom(uint64_t mark) {
    if (!m_console) return;
    m_console->SetHidden(false);
    RefreshLayout();
    m_console->ShowFrom(mark);
}

bool TK_EditorWindow::SaveSceneCamera(const std::string& path) { return TK_SaveSceneCamera(*this, path); }

bool TK_EditorWindow::LoadSceneCamera(const std::string& path) { return TK_LoadSceneCamera(*this, path); }

bool TK_EditorWindow::Snap(const std::string& view, const std::string& path, bool alpha) {
    Image image;
    bool ok = false;
    if (!view.empty() && m_env.settings.renderMode) {
        ok = m_rendering && m_renderers.tracer.ReadImage(image, alpha);
    } else if (m_rendering) {
        UI_View* found = view.empty() ? nullptr : FindView(view.c_str(), &UI_View::kClass);
        if (!view.empty() && !found) {
            OMB_Printf("[Error] snap : view '%s' not found\n", view.c_str());
            return false;
        }
        // Draw the frame now so the read-back sees the current state.
        DrawFrame();
        ok = TK_ReadPixels(ToDevice(found ? found->Rect() : Rect()), alpha, image);
    }
    OMB_ClearCause();
    if (!ok || !TK_SavePNG(image, path)) {
        OMB_Printf("[Error] snap : failed to write %s%s\n", path.c_str(), OMB_TakeCause().c_str());
        return false;
    }
    return true;
}
