// The settings commands: "set KEY VALUES" and "add KEY NUMBER" write the
// editor settings (brush options, display flags and colours, the render mode,
// the path-tracer parameters and the material records), "mirror" and "loft"
// switch the symmetry and loft axes, "ui_set" and "ui_view" change the
// window's views and "snap" saves a PNG snapshot. Only a "set" or "add" that
// changes what the model file stores with the model (its look: materials and
// scene settings) is kept in the history; it marks the model unsaved. Such
// changes of one key following each other within a second (a slider drag)
// are one step.
//
// After a change they tell the renderers through the environment's render
// link (when one is installed) and the listeners through the environment's
// messages: kind 0 for brush options and axes, kind 4 for raster display
// flags, kind 5 for the path tracer.
//
// Rule: Parse only reads; the key's current value is read in Execute, so a
// parsed "add" applies to whatever value is stored when it runs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "edit/TK_CMD_Model.h"

struct TK_Setting;

// "set KEY VALUES". Fails its parse for an unknown key, a missing value or a
// value of the wrong kind. Execute fails only where nothing changes for
// "r_show" and "pt_prim"; any other valid value succeeds even when it is
// already stored.
class TK_CMD_Set : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Set, TK_CMD)
public:
    // Successive changes of one key within this many seconds merge.
    static constexpr double kMergeSeconds = 1.0;

    bool Parse(const char* args) override;
    bool Execute() override;
    bool IsUndoable() const override { return m_lookAfter != nullptr; }
    bool HasEffect() const override;
    bool Merge(OMB_Command* next) override;
    void Undo() override { InstallLook(*m_lookBefore); }
    void Redo() override { InstallLook(*m_lookAfter); }

protected:
    const TK_Setting* m_key = nullptr;
    std::string m_word;       // the word after the key, where it takes one
    double m_values[2] = {0, 0};
    bool m_relative = false;  // "add": the values are added to the stored ones

private:
    bool ExecuteKey();
    void InstallLook(const TK_ModelLook& look);
    bool ExecuteNumber();
    bool ExecuteSpecial();
    bool SetImage();
    bool SetFlag();
    bool SetColor();
    bool SetPrim();
    bool SetLightColor(uint8_t color[3]);
    bool SetMaterial();
    bool SetRenderMode();
    void Changed(int renderChange) const;
    void Tell() const;

    // The look around a run that changed it; null otherwise.
    std::unique_ptr<TK_ModelLook> m_lookBefore, m_lookAfter;
    double m_when = 0;  // when the newest merged change ran
};

// "add KEY NUMBER": adds to a numeric setting ("b_vox_size", "pt_image",
// "pt_sun_p", "pt_sun_y", "pt_spp", "pt_fov", "pt_gamma") and clamps it.
class TK_CMD_Add : public TK_CMD_Set {
    OMB_COMMAND_CLASS(TK_CMD_Add, TK_CMD_Set)
public:
    bool Parse(const char* args) override;
};

// "mirror AXES VALUE ...": 0 off, 1 on, 2 toggle for each named axis. Fails
// when no axis changes.
class TK_CMD_Mirror : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Mirror, TK_CMD)
public:
    bool Parse(const char* args) override;
    bool Execute() override;

protected:
    virtual int* Axes() const { return m_env->settings.mirror; }
    virtual int Flag() const { return TK_EDITOR_MIRROR; }

private:
    int m_values[3] = {-1, -1, -1};  // -1: axis not named
};

// "loft AXES VALUE ...": the same for the loft axes.
class TK_CMD_Loft : public TK_CMD_Mirror {
    OMB_COMMAND_CLASS(TK_CMD_Loft, TK_CMD_Mirror)
protected:
    int* Axes() const override { return m_env->settings.loft; }
    int Flag() const override { return TK_EDITOR_LOFT; }
};

// "ui_set VIEW ATTRIBUTE VALUE": sets a view attribute through the window.
// Fails without a window or when the window has no such view.
class TK_CMD_UIAttrib : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_UIAttrib, TK_CMD)
public:
    bool Parse(const char* args) override;
    bool Execute() override;

private:
    std::string m_view, m_attribute, m_value;
};

// "ui_scale auto|N": the user interface's scale now (N from 1 to 3 in
// quarter steps, "auto" the display's). Fails without a window or for
// another word.
class TK_CMD_UIScale : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_UIScale, TK_CMD)
public:
    bool Parse(const char* args) override;
    bool Execute() override;

private:
    float m_scale = 0;
};

// "ui_view NAME ...": flips the visibility of each named view, then lays the
// window out again. Fails without a window or when no name matched a view.
class TK_CMD_SwitchView : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_SwitchView, TK_CMD)
public:
    bool Parse(const char* args) override;
    bool Execute() override;

private:
    std::vector<std::string> m_views;
};

// "snap [VIEW] [PATH.png]": a PNG snapshot of the window or of one view,
// with alpha when "snap_alpha" is 1. Without a path the save dialog asks,
// offering "snapYYYY-MM-DD-hh-mm-ss.png" in the export folder. Fails without
// a window, for an unknown view (after "[Error] snap : view 'NAME' not
// found") and when the dialog is cancelled.
class TK_CMD_Snap : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_Snap, TK_CMD_Model)
public:
    bool IsUndoable() const override { return false; }
    bool Parse(const char* args) override;
    bool Execute() override;

    // "snap%d-%.2d-%.2d-%.2d-%.2d-%.2d.png" for the local time `now`.
    static std::string DefaultName(long long now);

private:
    std::string m_view;
};
