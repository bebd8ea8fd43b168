// TK_ModelBrush: capture, preview, commit and the status hint shared by the
// brushes (see the header).
#include "brush/TK_ModelBrush.h"

#include <cstdio>

#include "core/OMB_Log.h"
#include "core/OS_Keys.h"
#include "model/TK_EditorEnv.h"

TK_ModelBrush::TK_ModelBrush(int mode) : m_mode(mode) {}

TK_ModelBrush::~TK_ModelBrush() {
    // A brush dying mid-stroke must not leave a dangling preview or lock.
    if (m_captured) Release();
}

TK_BrushOptions TK_ModelBrush::Options() const {
    TK_BrushOptions o;
    o.mode = m_mode;
    const TK_EditorEnv* env = Env();
    if (!env) return o;
    const TK_Settings& s = env->settings;
    o.color = env->currentColorIndex;
    for (int a = 0; a < 3; ++a) o.mirror[a] = s.mirror[a], o.loft[a] = s.loft[a];
    o.facePalette = s.facePalette != 0;
    o.faceSameColor = s.faceColor != 0;
    o.face4 = s.face4 != 0;
    o.voxelVolume = s.voxVolume != 0;
    o.voxelCube = s.voxCube != 0;
    o.voxelSize = s.voxSize;
    o.centerEven = s.centerEven != 0;
    o.centerCircle = s.centerCircle != 0;
    o.lineProjected = s.lineProject != 0;
    o.patternPalette = s.patternPalette != 0;
    return o;
}

void TK_ModelBrush::SwapMode() {
    if (m_mode == TK_BRUSH_ATTACH) m_mode = TK_BRUSH_ERASE;
    else if (m_mode == TK_BRUSH_ERASE) m_mode = TK_BRUSH_ATTACH;
}

bool TK_ModelBrush::Capture(const UI_MouseState& m) {
    TK_EditorEnv* env = Env();
    if (!env || m_host->IsBusy() || m_captured) return false;
    if (env->strokeOwner && env->strokeOwner != this) return false;
    m_host->SetBusy(true);
    env->strokeOwner = this;
    // The lock keeps typed commands off the model for the whole gesture;
    // the stroke's own command runs under it as its owner.
    env->executor.Lock(this);
    m_captured = true;
    if (m.modifiers == OS_MOD_SHIFT && m_mode != TK_BRUSH_PAINT) {
        SwapMode();
        m_swapped = true;
    }
    return true;
}

void TK_ModelBrush::Release() {
    if (!m_captured) return;
    m_captured = false;
    m_stroking = false;
    if (m_swapped) {
        SwapMode();
        m_swapped = false;
    }
    if (TK_EditorEnv* env = Env()) {
        env->executor.Unlock(this);
        if (env->strokeOwner == this) env->strokeOwner = nullptr;
    }
    if (m_host) m_host->SetBusy(false);
}

void TK_ModelBrush::ShowPreview() {
    TK_EditorEnv* env = Env();
    if (!env) return;
    if (m_stroke.Empty()) {
        ClearPreview();
        return;
    }
    env->previewVoxels = &m_stroke.Voxels();
    env->previewKind = m_stroke.Mode();
    // Listeners only: the model itself has not changed, so the render
    // caches of the model must not be rebuilt for a preview.
    env->Broadcast(TK_NOTIFY_MODEL, m_stroke.Mode() == TK_BRUSH_PAINT ? TK_CHANGE_PALETTE_COLORS : TK_CHANGE_SHAPE);
}

void TK_ModelBrush::ClearPreview() {
    TK_EditorEnv* env = Env();
    if (!env || env->previewVoxels != &m_stroke.Voxels()) return;
    const int kind = env->previewKind;
    env->previewVoxels = nullptr;
    env->previewKind = 0;
    env->Broadcast(TK_NOTIFY_MODEL, kind == TK_BRUSH_PAINT ? TK_CHANGE_PALETTE_COLORS : TK_CHANGE_SHAPE);
}

bool TK_ModelBrush::CommitStroke() {
    TK_EditorEnv* env = Env();
    if (!env || m_stroke.Empty()) return false;
    return m_stroke.Commit(*env, this);
}

bool TK_ModelBrush::LeftDown(const UI_MouseState& m) {
    if (!Capture(m)) return false;
    m_stroking = BeginStroke(m);
    if (!m_stroking) m_stroke.Clear();
    ShowPreview();
    return true;
}

bool TK_ModelBrush::LeftDrag(const UI_MouseState& m) {
    if (!m_captured) return false;
    if (m_stroking) {
        DragStroke(m);
        ShowPreview();
    }
    return true;
}

bool TK_ModelBrush::LeftUp(const UI_MouseState& m) {
    if (!m_captured) return false;
    ClearPreview();
    if (m_stroking && !m_stroke.Empty()) CommitStroke();
    else SayWhyNothingAttached();
    m_stroke.Clear();
    Release();
    return true;
}

// An attaching stroke on a full box, or on a face at the box's side, has no
// empty cell to fill: a press that changes nothing must not leave the user
// guessing.
void TK_ModelBrush::SayWhyNothingAttached() const {
    const TK_EditorEnv* env = Env();
    if (!env || Options().mode != TK_BRUSH_ATTACH) return;
    const TK_Model& model = env->model;
    const TK_Pick pick = m_host ? m_host->PointerPick() : TK_Pick();
    int start[3];
    if (model.voxels.Count() >= model.CellCount())
        OMB_Printf("[Warning] no room: the box is full; grow it with size\n");
    else if (pick.Hit() && !pick.IsGround() && !TK_StartCell(pick, true, model.size, start))
        OMB_Printf("[Warning] no room: that face is on the side of the box; grow it with size\n");
}

bool TK_ModelBrush::Reset() {
    if (m_host && m_host->IsBusy() && !m_captured) return false;
    ClearPreview();
    m_stroke.Clear();
    Release();
    return true;
}

void TK_ModelBrush::Tick(const UI_TickData& time) {
    if (!m_host || !m_host->HasHintLine()) return;
    if (m_host->IsBusy() && !m_captured) return;
    char text[64];
    if (m_stroking && StrokeHint(text, sizeof text)) {
        m_host->SetHintLine(text);
        return;
    }
    if (!m_host->PickingEnabled()) {
        m_host->SetHintLine("console");
        return;
    }
    const TK_Pick pick = m_host->PointerPick();
    if (pick.Hit())
        std::snprintf(text, sizeof text, "x:%-3d y:%-3d z:%-3d", pick.cell[0], pick.cell[1], pick.cell[2]);
    else
        std::snprintf(text, sizeof text, "x:-   y:-   z:-");
    m_host->SetHintLine(text);
}
