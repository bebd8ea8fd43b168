// TK_ModelBrush: the common base of the brushes, the responders that turn
// left-button gestures in the scene view into model edits. A shape brush
// captures the gesture on the press (marking the view busy and recording
// itself as the environment's active brush), rebuilds its stroke on every
// drag, shows the stroke as the live preview, and on release commits it as
// one undoable voxel command through the executor; the colour, loop and
// focus brushes use the same capture and act on their own.
//
// TK_BrushHost is what a brush needs of the view that serves it (the scene
// view implements it): the environment, picks and rays under a window
// point, the busy mark, the status hint line and the path tracer's answer
// for a point. Brushes never see the view itself, which lives above them.
//
// Rule: a brush that captured a gesture holds the executor's lock until its
// release, so no typed command can change the model under a stroke, and it
// always gives back the busy mark, the lock and the preview on release or
// Reset.
#pragma once

#include "brush/TK_Stroke.h"
#include "ui/UI_Responder.h"

class TK_BrushHost {
public:
    virtual ~TK_BrushHost() = default;
    // The environment; null before the view has one (brushes then do nothing).
    virtual TK_EditorEnv* BrushEnv() = 0;
    // The pick and the mouse ray (model cells) under a window point.
    virtual TK_Pick PickAt(int x, int y) = 0;
    virtual bool RayAt(int x, int y, TK_Ray& ray) = 0;
    // The pick under the pointer's last position (no hit when outside).
    virtual TK_Pick PointerPick() = 0;
    // Set while a gesture belongs to a brush (or the view rotates).
    virtual bool IsBusy() const = 0;
    virtual void SetBusy(bool busy) = 0;
    // False without a window: no hint line is written then.
    virtual bool HasHintLine() const = 0;
    // Writes the status hint line (the window's "cmd" hint field).
    virtual void SetHintLine(const char* text) = 0;
    // False while picking is switched off (the hint then says "console").
    virtual bool PickingEnabled() const { return true; }
    // The path tracer's depth and colour index under a window point; false
    // when there is no traced picture.
    virtual bool TracerQuery(int x, int y, float& depth, int& colorIndex) { return false; }
};

class TK_ModelBrush : public UI_Responder {
public:
    // `mode` is the brush's own mode (attach, erase or paint).
    explicit TK_ModelBrush(int mode = TK_BRUSH_ATTACH);
    ~TK_ModelBrush() override;

    // The view the brush serves (not owned); null detaches it.
    void SetHost(TK_BrushHost* host) { m_host = host; }
    TK_BrushHost* Host() const { return m_host; }

    // The status hint: the picked cell, or the stroke's own numbers.
    void Tick(const UI_TickData& time) override;
    // Capture and first stroke; false while the view is busy.
    bool LeftDown(const UI_MouseState& m) override;
    bool LeftDrag(const UI_MouseState& m) override;
    // Commit, clear the preview, give the capture back.
    bool LeftUp(const UI_MouseState& m) override;

    // Cancels a stroke: clears it and the preview and gives the capture
    // back. False while the view is busy with a gesture of another brush.
    virtual bool Reset();
    // The colour brushes' action on a clicked colour; false elsewhere.
    virtual bool ApplyColor(int index) { return false; }

    int Mode() const { return m_mode; }
    const TK_Stroke& Stroke() const { return m_stroke; }
    // The options a stroke reads now: the environment's settings, this
    // brush's current mode.
    TK_BrushOptions Options() const;

protected:
    // Prints why an attaching gesture added nothing: a full box, or a face
    // at the side of the box.
    void SayWhyNothingAttached() const;
    // First stroke of a gesture from the press; false when the press picks
    // nothing the shape can start from (no stroke follows).
    virtual bool BeginStroke(const UI_MouseState& m) { return false; }
    // Rebuilds the stroke for the current pointer.
    virtual void DragStroke(const UI_MouseState& m) {}
    // The brush's own hint while stroking; false for the picked-cell line.
    virtual bool StrokeHint(char* text, int size) const { return false; }

    // Marks the view busy, records the active brush, takes the lock and,
    // for Shift alone outside paint mode, swaps attach and erase. False
    // (nothing taken) while the view is busy or there is no environment.
    bool Capture(const UI_MouseState& m);
    // Undoes Capture: swap back, active brush, lock, busy mark.
    void Release();
    // Hands the stroke to the environment as the preview (or clears it when
    // empty) and tells the listeners.
    void ShowPreview();
    void ClearPreview();
    // Runs the stroke's command; false when it changed nothing.
    bool CommitStroke();
    // Flips between attach and erase (paint stays).
    void SwapMode();
    TK_EditorEnv* Env() const { return m_host ? m_host->BrushEnv() : nullptr; }

    TK_BrushHost* m_host = nullptr;
    TK_Stroke m_stroke;
    int m_mode;
    bool m_swapped = false;
    bool m_captured = false;
    bool m_stroking = false;
};
