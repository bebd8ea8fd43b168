// The renderers of a window and their settings link (see TK_Renderers.h).
#include "render/TK_Renderers.h"

#include "model/TK_EditorEnv.h"

bool TK_Renderers::Init(TK_EditorEnv& env, bool rasterOnly) {
    Shutdown();
    m_env = &env;
    const bool ok = raster.Init(env);
    raster.SetFlags(env.settings.rasterFlags);
    raster.SetColors(env.settings.rasterGround, env.settings.rasterEdge);
    if (!rasterOnly) tracer.Init(env);
    env.renderer = this;
    env.listeners.Connect(this, &TK_Renderers::OnEditorMessage);
    return ok;
}

void TK_Renderers::Shutdown() {
    if (m_env) {
        m_env->listeners.Disconnect(this);
        if (m_env->renderer == this) m_env->renderer = nullptr;
    }
    m_env = nullptr;
    tracer.Shutdown();
    raster.Shutdown();
}

void TK_Renderers::SettingsChanged(int what) {
    if (!m_env) return;
    const TK_Settings& s = m_env->settings;
    if (what & TK_RENDER_RASTER_FLAGS) raster.SetFlags(s.rasterFlags);
    if (what & TK_RENDER_RASTER_COLORS) raster.SetColors(s.rasterGround, s.rasterEdge);
    if (what & TK_RENDER_TRACER_FLAGS) tracer.SetFlags(s.ptFlags);
    if (what & TK_RENDER_PROGRAMS) tracer.RebuildPrograms();
    if (what & TK_RENDER_MATERIALS) tracer.UpdateMaterials();
    if (what & TK_RENDER_RESTART) tracer.Restart();
}

// The raster renderer listens for itself; the tracer is told here.
void TK_Renderers::OnEditorMessage(int kind, int value) {
    if (kind == TK_NOTIFY_MODEL) {
        if (value & (TK_CHANGE_SIZE | TK_CHANGE_GEOMETRY | TK_CHANGE_VOXELS | TK_CHANGE_SHAPE | TK_CHANGE_COLORS))
            tracer.UpdateVolume();
        if (value & TK_CHANGE_PALETTE_COLORS) tracer.UpdateMaterials();
    } else if (kind == TK_NOTIFY_PALETTE) {
        // Palette entries; "swap" moves the material records with them, and
        // the upload happens before the next sample, after the whole swap.
        tracer.UpdateMaterials();
    }
}
