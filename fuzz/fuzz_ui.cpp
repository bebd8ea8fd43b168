// libFuzzer target for the UI description loader: any bytes are read as a
// description; the tree that comes out is attached to a window, laid out,
// built into a frame's batches (no OpenGL needed), clicked, typed into and
// re-attributed at run time. Catches crashes and undefined arithmetic on
// hostile sizes, colours and counts, and leaks of half-built trees.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/OMB_LmpParser.h"
#include "core/OMB_Log.h"
#include "ui/UI_Loader.h"
#include "ui/UI_Window.h"

namespace {

class FuzzWindow : public UI_Window {
public:
    void OnViewCommand(const char* text) override { commands += text ? text : ""; }
    std::string commands;
};

void Poke(FuzzWindow& window, int x, int y) {
    window.InputPosition(x, y, 0);
    window.InputButton(UI_BUTTON_LEFT, true, x, y, 0);
    window.InputPosition(x, y, 0);  // a drag
    window.InputButton(UI_BUTTON_LEFT, false, x, y, 0);
    window.InputText("x", 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    std::string text(reinterpret_cast<const char*>(data), size);
    static UI_ViewRegistry registry = [] {
        UI_ViewRegistry r;
        UI_RegisterViewTypes(r);
        return r;
    }();
    FuzzWindow window;
    window.SetRootView(UI_LoadViewTreeText(registry, text.c_str(), "fuzz"));
    if (!window.Root()) return 0;
    window.SetRect({0, 0, 639, 479});
    window.RefreshLayout();
    window.BuildFrame();
    Poke(window, 320, 240);
    Poke(window, 5, 470);
    const UI_TickData tick{1.0, 0.5};
    window.Broadcast(UI_Event::Tick(tick));
    // Every attribute of the description again, at run time, by view name.
    OMB_LmpParser parser;
    if (parser.Parse(text.c_str()) && !parser.Root().children.empty())
        for (const auto& attribute : parser.Root().children.front()->attributes)
            window.SetViewAttribute(window.Root()->Id().c_str(), attribute->key.c_str(), attribute->value.c_str());
    window.RefreshLayout();
    window.BuildFrame();
    return 0;
}
