// Switches: two-state widgets that toggle on a press (or, when "delayed",
// the default, on a release over them). UI_SideSwitch and UI_TextSwitch run
// "onSelect" / "onDeselect" when their state changes; UI_ViewSwitch
// (a side switch) also swaps the visibility of the views it names, on every
// call, and refreshes the layout; UI_PanelSwitch folds the panel that a
// UI_VPanel gave it and runs no command. UI_VPanel is a column of headers:
// each panel switch folds the child that follows it.
#pragma once

#include <string>
#include <vector>

#include "ui/UI_Box.h"
#include "ui/UI_Caption.h"

class UI_Switch : public UI_View {
public:
    UI_DECLARE_CLASS()
    bool LeftDown(const UI_MouseState& m) override;
    bool LeftUp(const UI_MouseState& m) override;
    // "delayed", "selected" (no command), "onSelect", "onDeselect" and the
    // "onClick" shorthand (the text + " 1" / + " 0").
    bool ParseAttributes(const OMB_LmpNode* node) override;
    // Changes the state and runs onSelect / onDeselect; nothing when equal.
    virtual void SetSelected(bool selected);
    // Shows the state without running a command (the program's state
    // changed elsewhere).
    void ShowSelected(bool selected) {
        SelectQuietly(selected);
        Invalidate();
    }
    bool IsSelected() const { return m_selected; }
    void SetPressLine(const std::string& line) override {
        m_onSelect = line + " 1";
        m_onDeselect = line + " 0";
    }

protected:
    // The "selected" attribute: the state without a command.
    virtual void SelectQuietly(bool selected) { m_selected = selected; }
    void DrawCaption(const std::string& text, OMB_Color background, OMB_Color color, const float fontSize[2]);

    bool m_delayed = true;
    bool m_selected = false;
    bool m_pressed = false;
    std::string m_onSelect, m_onDeselect;
};

class UI_SideSwitch : public UI_Switch {
public:
    UI_DECLARE_CLASS()
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;

protected:
    std::string m_text, m_text2;
    float m_fontSize[2] = {8, 16};
    OMB_Color m_fontColor = kThemeSwitchText;
    int m_style = 0;
};

class UI_ViewSwitch : public UI_SideSwitch {
public:
    UI_DECLARE_CLASS()
    // Also swaps the named views' visibility (even when the state is
    // unchanged) and refreshes the layout.
    void SetSelected(bool selected) override;
    bool ParseAttributes(const OMB_LmpNode* node) override;

protected:
    void SelectQuietly(bool selected) override;

private:
    void SwapViews();
    std::vector<std::string> m_viewNames;
};

class UI_TextSwitch : public UI_Switch {
public:
    UI_DECLARE_CLASS()
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;

private:
    UI_Caption m_caption;
};

class UI_PanelSwitch : public UI_Switch {
public:
    UI_DECLARE_CLASS()
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;
    // Shows or hides the panel and refreshes the layout; runs no command.
    void SetSelected(bool selected) override;
    void SetPanel(UI_View* panel) { m_panel = panel; }

protected:
    void SelectQuietly(bool selected) override;

private:
    void ShowPanel();
    std::string m_text;
    float m_fontSize[2] = {8, 16};
    OMB_Color m_fontColor = kThemeSwitchText;
    OMB_Color m_bgColor = kThemePanelHeader;
    UI_View* m_panel = nullptr;
};

class UI_VPanel : public UI_VBox {
public:
    UI_DECLARE_CLASS()
    // A child that is not a panel switch and follows one becomes its panel,
    // hidden unless the switch is selected.
    bool AddChild(std::unique_ptr<UI_View> child, const OMB_LmpNode* node) override;
};
