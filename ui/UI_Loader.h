// The UI description loader: the view-type registry (tag -> class descriptor
// and factory) and the builder that turns a description tree into views.
// The editor window fills a registry at start-up (UI_RegisterViewTypes, then
// its own types such as "scene"), loads its description file and hands the
// root to its window.
//
// A description node names a view type by its key (the tag, any case); its
// attributes configure the view; its children become the view's children.
// Loading never stops at a fault: a faulty description yields a partial tree.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/UI_View.h"

struct OMB_LmpNode;

using UI_ViewFactory = std::unique_ptr<UI_View> (*)();

template <typename T>
std::unique_ptr<UI_View> UI_MakeView() {
    return std::make_unique<T>();
}

struct UI_ViewType {
    std::string tag;
    const UI_ClassInfo* cls = nullptr;
    UI_ViewFactory factory = nullptr;
};

class UI_ViewRegistry {
public:
    void Register(const char* tag, const UI_ClassInfo* cls, UI_ViewFactory factory);
    template <typename T>
    void Register(const char* tag) {
        Register(tag, &T::kClass, &UI_MakeView<T>);
    }
    // The first entry whose tag equals `tag` in any case; null when none.
    const UI_ViewType* Find(const char* tag) const;

private:
    std::vector<UI_ViewType> m_types;
};

// The toolkit's view types in their fixed order ("hbox", "vbox", "label",
// ... "cbutton"); the editor appends its own after them.
void UI_RegisterViewTypes(UI_ViewRegistry& registry);

// Builds the view of one node and its subtree (null with
// "[Error] UI : view type '%s' is not registered" for an unknown tag, the
// subtree skipped). Children are added before the node's own attributes are
// parsed, so a parent's attributes may name its children.
std::unique_ptr<UI_View> UI_BuildView(const UI_ViewRegistry& registry, const OMB_LmpNode& node);
// Builds from the first top-level node of a parsed document; null with
// "[Error] UI : no node found : %s" (the path) when there is none.
std::unique_ptr<UI_View> UI_BuildViewTree(const UI_ViewRegistry& registry, const OMB_LmpNode& document, const char* path);
// Reads and parses the file, then UI_BuildViewTree. A missing or unreadable
// file is a document without nodes.
std::unique_ptr<UI_View> UI_LoadViewTree(const UI_ViewRegistry& registry, const char* path);
// The same from text in memory (`name` stands in for the path in messages).
std::unique_ptr<UI_View> UI_LoadViewTreeText(const UI_ViewRegistry& registry, const char* text, const char* name);
// A composite view's parts: the toolkit's views described by `text`, added
// to `owner` as one child filling it (flex 1). The parts' root; null when
// the text holds none.
UI_View* UI_AddParts(UI_View& owner, const char* text, const char* name);
