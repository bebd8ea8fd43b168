// The toolkit's view types, in their fixed registration order (the editor
// appends its own, such as "scene", after these).
#include "ui/UI_Box.h"
#include "ui/UI_Button.h"
#include "ui/UI_ColorView.h"
#include "ui/UI_Console.h"
#include "ui/UI_FileDialog.h"
#include "ui/UI_Question.h"
#include "ui/UI_Label.h"
#include "ui/UI_List.h"
#include "ui/UI_Loader.h"
#include "ui/UI_Option.h"
#include "ui/UI_Palette.h"
#include "ui/UI_Slider.h"
#include "ui/UI_Switch.h"
#include "ui/UI_TextField.h"

void UI_RegisterViewTypes(UI_ViewRegistry& registry) {
    registry.Register<UI_HBox>("hbox");
    registry.Register<UI_VBox>("vbox");
    registry.Register<UI_Label>("label");
    registry.Register<UI_TextButton>("button");
    registry.Register<UI_TextOption>("option");
    registry.Register<UI_TextSwitch>("switch");
    registry.Register<UI_OptionGroup>("optionGroup");
    registry.Register<UI_Palette>("palette");
    registry.Register<UI_List>("list");
    registry.Register<UI_TextField>("textField");
    registry.Register<UI_SideSwitch>("sideSwitch");
    registry.Register<UI_Hint>("hint");
    registry.Register<UI_Slider>("slider");
    registry.Register<UI_BGSlider>("bgSlider");
    registry.Register<UI_HSVView>("hsvView");
    registry.Register<UI_RGBView>("rgbView");
    registry.Register<UI_PanelSwitch>("panelSwitch");
    registry.Register<UI_ViewSwitch>("viewSwitch");
    registry.Register<UI_VPanel>("vpanel");
    registry.Register<UI_Tab>("tab");
    registry.Register<UI_FileList>("fileList");
    registry.Register<UI_SliderButton>("sbutton");
    registry.Register<UI_ColorButton>("cbutton");
    registry.Register<UI_Console>("console");
    registry.Register<UI_StatusLine>("statusLine");
    registry.Register<UI_FileDialog>("fileDialog");
    registry.Register<UI_Question>("question");
}
