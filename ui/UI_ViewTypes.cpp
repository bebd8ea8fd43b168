// The toolkit's view types, in their fixed registration order (the editor
// appends its own, such as "scene", after these).
#include "ui/UI_Box.h"
#include "ui/UI_Loader.h"

void UI_RegisterViewTypes(UI_ViewRegistry& registry) {
    registry.Register<UI_HBox>("hbox");
    registry.Register<UI_VBox>("vbox");
}
