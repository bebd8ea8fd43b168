// View-type registry and tree builder (see UI_Loader.h).
#include "ui/UI_Loader.h"

#include "core/OMB_LmpParser.h"
#include "core/OMB_Log.h"

void UI_ViewRegistry::Register(const char* tag, const UI_ClassInfo* cls, UI_ViewFactory factory) {
    m_types.push_back({tag, cls, factory});
}

const UI_ViewType* UI_ViewRegistry::Find(const char* tag) const {
    for (const UI_ViewType& t : m_types)
        if (UI_SameText(t.tag.c_str(), tag)) return &t;
    return nullptr;
}

std::unique_ptr<UI_View> UI_BuildView(const UI_ViewRegistry& registry, const OMB_LmpNode& node) {
    const UI_ViewType* type = registry.Find(node.key.c_str());
    if (!type) {
        OMB_Printf("[Error] UI : view type '%s' is not registered\n", node.key.c_str());
        return nullptr;
    }
    std::unique_ptr<UI_View> view = type->factory();
    for (const auto& childNode : node.children) {
        std::unique_ptr<UI_View> child = UI_BuildView(registry, *childNode);
        if (child && !view->AddChild(std::move(child), childNode.get()))
            OMB_Printf("[Error] UI : failed to add child view\n");
    }
    if (!view->ParseAttributes(&node)) OMB_Printf("[Error] UI : failed to parse view '%s'\n", node.key.c_str());
    return view;
}

std::unique_ptr<UI_View> UI_BuildViewTree(const UI_ViewRegistry& registry, const OMB_LmpNode& document, const char* path) {
    if (document.children.empty()) {
        OMB_Printf("[Error] UI : no node found : %s\n", path ? path : "");
        return nullptr;
    }
    return UI_BuildView(registry, *document.children.front());
}

std::unique_ptr<UI_View> UI_LoadViewTree(const UI_ViewRegistry& registry, const char* path) {
    OMB_LmpParser parser;
    parser.ParseFile(path);
    return UI_BuildViewTree(registry, parser.Root(), path);
}

std::unique_ptr<UI_View> UI_LoadViewTreeText(const UI_ViewRegistry& registry, const char* text, const char* name) {
    OMB_LmpParser parser;
    parser.Parse(text ? text : "");
    return UI_BuildViewTree(registry, parser.Root(), name);
}

UI_View* UI_AddParts(UI_View& owner, const char* text, const char* name) {
    UI_ViewRegistry registry;
    UI_RegisterViewTypes(registry);
    std::unique_ptr<UI_View> tree = UI_LoadViewTreeText(registry, text, name);
    UI_View* parts = tree.get();
    OMB_LmpNode layout;
    layout.AddAttribute("flex", "1");
    return owner.AddChild(std::move(tree), &layout) ? parts : nullptr;
}
