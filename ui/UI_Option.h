// Options and option groups. A UI_Option announces a press through its
// selectedSignal; the UI_OptionGroup it sits under (anywhere below the
// group, boxes included) selects it: the old option is deselected, the new
// one selected (each running its own onDeselect / onSelect), then the group
// runs its "onClick" followed by a blank and the option's id. A UI_Tab
// instead hides the view named by the old option's id, shows the one named
// by the new option's id, refreshes the layout and runs no onClick.
#pragma once

#include <string>
#include <vector>

#include "core/OMB_Signal.h"
#include "ui/UI_Caption.h"
#include "ui/UI_Group.h"

class UI_Option : public UI_View {
public:
    UI_DECLARE_CLASS()
    bool LeftDown(const UI_MouseState& m) override;
    bool ParseAttributes(const OMB_LmpNode* node) override;
    // Emits selectedSignal with this option.
    virtual void Activate() { selectedSignal.Emit(this); }
    // Runs onSelect / onDeselect when the state changes.
    virtual void SetSelected(bool selected);
    virtual bool IsSelected() const { return m_selected; }
    // Shows the state without running a command.
    void ShowSelected(bool selected);
    void SetPressLine(const std::string& line) override { m_onSelect = line; }

    OMB_Signal1<UI_Option*> selectedSignal;

protected:
    bool m_selected = false;
    std::string m_onSelect, m_onDeselect;
};

class UI_TextOption : public UI_Option {
public:
    UI_DECLARE_CLASS()
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;
    void SetText(const std::string& text) {
        m_caption.text = text;
        Invalidate();
    }

private:
    UI_Caption m_caption;
};

class UI_OptionGroup : public UI_Group {
public:
    UI_DECLARE_CLASS()
    // Adds the child, then takes every option in its subtree.
    bool AddChild(std::unique_ptr<UI_View> child, const OMB_LmpNode* node) override;
    // "value" selects the option with that id; "onClick".
    bool ParseAttributes(const OMB_LmpNode* node) override;
    virtual void Select(UI_Option* option);
    // Shows the option with that id as the selected one without running a
    // command; false when there is none.
    bool ShowOption(const std::string& id);
    void OnOptionActivated(UI_Option* option) { Select(option); }

    UI_Option* Current() const { return m_current; }
    const std::vector<UI_Option*>& Options() const { return m_options; }
    UI_Option* OptionNamed(const char* id) const;

protected:
    std::vector<UI_Option*> m_options;
    UI_Option* m_current = nullptr;
    std::string m_onClick;
};

class UI_Tab : public UI_OptionGroup {
public:
    UI_DECLARE_CLASS()
    void Select(UI_Option* option) override;

private:
    bool ShowPage(const UI_Option* option, bool show);
};
