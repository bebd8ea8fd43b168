// Lists of text rows. UI_List shows its items top down, scrolls with the
// wheel (three rows a notch) and, on a click, selects the row and runs
// "onSelect" followed by a blank and the item's text. UI_FileList lists the
// folder "root": sub-folders first (with a trailing "/", ".." on top to go
// up), then the files whose extension is one of "ext" (blank-separated, any
// case; all files when empty), each group sorted without regard to case. A click on a file runs
// "onSelect" with its path, on a folder "onSelectFolder" with the folder's
// path. "selected" highlights an entry by path or name; "update" lists the
// folder again. A folder that cannot be read lists as empty.
#pragma once

#include <string>
#include <vector>

#include "ui/UI_Theme.h"
#include "ui/UI_View.h"

class UI_List : public UI_View {
public:
    UI_DECLARE_CLASS()
    static constexpr int kPadding = 2;  // pixels above and below a row's text

    bool LeftDown(const UI_MouseState& m) override;
    bool Wheel(const UI_MouseState& m) override;
    void Draw() override;
    // "items" (separated by ";"), "selected" (row number), "onSelect",
    // "onPickRow" (a click runs it followed directly by the row's number,
    // 1 for the first: "open #" runs "open #2"), "fontSize", "bgColor",
    // "fontColor".
    bool ParseAttributes(const OMB_LmpNode* node) override;

    void SetItems(std::vector<std::string> items);
    const std::vector<std::string>& Items() const { return m_items; }
    int Selected() const { return m_selected; }
    void SetSelected(int row);
    // The row under a point (-1 for none) and the first row shown.
    int RowAt(int x, int y) const;
    std::string CutTextAt(int x, int y) const override;
    void ScrollTo(int first);

protected:
    // A row was clicked (selected already).
    virtual void OnPick(int row);
    int RowHeight() const { return int(m_fontSize[1]) + 2 * kPadding; }
    int VisibleRows() const;

    std::vector<std::string> m_items;
    int m_selected = -1;
    int m_first = 0;
    float m_fontSize[2] = {8, 16};
    OMB_Color m_bgColor = kThemeListBackground;
    OMB_Color m_fontColor = kThemeListText;
    std::string m_onSelect;
    std::string m_onPickRow;
};

class UI_FileList : public UI_List {
public:
    UI_DECLARE_CLASS()
    static constexpr size_t kMaxEntries = 20000;  // a huge folder lists its first ones

    bool ParseAttributes(const OMB_LmpNode* node) override;
    // Reads the folder again.
    void Update();
    const std::string& Root() const { return m_root; }
    // Why the folder could not be listed (the system's reason); empty when
    // it was. The way up ("../") is listed either way.
    const std::string& Problem() const { return m_problem; }
    bool IsFolder(int row) const { return row >= 0 && row < m_folderCount; }
    // Marks the file at that path (full path or listed name) as selected.
    void SelectPath(const std::string& path);

protected:
    void OnPick(int row) override;

private:
    std::string PathOf(int row) const;

    std::string m_root;
    std::string m_ext;
    std::string m_selectedPath;
    std::string m_problem;
    int m_folderCount = 0;
    std::string m_onSelectFolder;
};
