// The built-in commands, in console-table order. Tag 1 commands run only from
// unprefixed text (hotkeys, scripts, the headless runner); tag 2 commands also
// from "/"-prefixed view lines. A new command adds one line here, in place.
#include "edit/TK_Commands.h"

#include "core/OMB_CommandExecutor.h"
#include "edit/TK_BoxCommands.h"
#include "edit/TK_GeneratorCommands.h"
#include "edit/TK_HistoryCommands.h"
#include "edit/TK_ImportExportCommands.h"
#include "edit/TK_MazeCommand.h"
#include "edit/TK_ModelFileCommands.h"
#include "edit/TK_MorphologyCommands.h"
#include "edit/TK_NoiseCommands.h"
#include "edit/TK_PaletteCommands.h"
#include "edit/TK_ResampleCommands.h"
#include "edit/TK_SettingsCommands.h"
#include "edit/TK_ShapeCommands.h"
#include "edit/TK_TransformCommands.h"

void TK_RegisterCommands(OMB_CommandExecutor& executor) {
    struct Entry {
        const char* name;
        OMB_CommandFactory factory;
        int tag;
    };
    static const Entry kCommands[] = {
        {"undo", &OMB_MakeCommand<TK_CMD_Undo>, 2},
        {"redo", &OMB_MakeCommand<TK_CMD_Redo>, 2},
        {"open", &OMB_MakeCommand<TK_CMD_LoadPath>, 1},
        {"save", &OMB_MakeCommand<TK_CMD_SaveModel>, 1},
        {"new", &OMB_MakeCommand<TK_CMD_NewModel>, 2},
        {"dup", &OMB_MakeCommand<TK_CMD_DupModel>, 2},
        {"name", &OMB_MakeCommand<TK_CMD_RenameModel>, 2},
        {"del", &OMB_MakeCommand<TK_CMD_DeleteModel>, 2},
        {"ipatt", &OMB_MakeCommand<TK_CMD_LoadPattern>, 1},
        {"i", &OMB_MakeCommand<TK_CMD_ImportModel>, 1},
        {"o", &OMB_MakeCommand<TK_CMD_ExportModel>, 2},
        {"odir", &OMB_MakeCommand<TK_CMD_ExportDir>, 2},
        {"ipal", &OMB_MakeCommand<TK_CMD_ImportPalette>, 1},
        {"opal", &OMB_MakeCommand<TK_CMD_ExportPalette>, 1},
        {"bake", &OMB_MakeCommand<TK_CMD_Bake>, 2},
        {"zero", &OMB_MakeCommand<TK_CMD_Clear>, 2},
        {"full", &OMB_MakeCommand<TK_CMD_Full>, 2},
        {"fill", &OMB_MakeCommand<TK_CMD_Fill>, 2},
        {"inv", &OMB_MakeCommand<TK_CMD_Inverse>, 2},
        {"mir", &OMB_MakeCommand<TK_CMD_MirrorModel>, 2},
        {"expand", &OMB_MakeCommand<TK_CMD_Expand>, 2},
        {"size", &OMB_MakeCommand<TK_CMD_Resize>, 2},
        {"shrink", &OMB_MakeCommand<TK_CMD_Shrink>, 2},
        {"loop", &OMB_MakeCommand<TK_CMD_Loop>, 2},
        {"flip", &OMB_MakeCommand<TK_CMD_Flip>, 2},
        {"rot90", &OMB_MakeCommand<TK_CMD_Rot90>, 2},
        {"repeat", &OMB_MakeCommand<TK_CMD_Repeat>, 2},
        {"scale", &OMB_MakeCommand<TK_CMD_Scale>, 2},
        {"rot", &OMB_MakeCommand<TK_CMD_Rotate>, 2},
        {"x2", &OMB_MakeCommand<TK_CMD_Scale2X>, 2},
        {"flood", &OMB_MakeCommand<TK_CMD_FloodFill>, 2},
        {"dil", &OMB_MakeCommand<TK_CMD_Dilation>, 2},
        {"ero", &OMB_MakeCommand<TK_CMD_Erosion>, 2},
        {"prim", &OMB_MakeCommand<TK_CMD_Prim>, 2},
        {"noise", &OMB_MakeCommand<TK_CMD_Noise>, 2},
        {"maze", &OMB_MakeCommand<TK_CMD_Maze>, 2},
        {"fractal", &OMB_MakeCommand<TK_CMD_Fractal>, 1},
        {"rand", &OMB_MakeCommand<TK_CMD_RandomModel>, 2},
        {"index", &OMB_MakeCommand<TK_CMD_ColorIndex>, 2},
        {"rgb", &OMB_MakeCommand<TK_CMD_RGB>, 2},
        {"pal", &OMB_MakeCommand<TK_CMD_PAL>, 2},
        {"swap", &OMB_MakeCommand<TK_CMD_SwapColor>, 2},
        // Settings. Descriptions for the help column:
        //   set      set an editor setting: set KEY VALUES
        //   add      add to a numeric setting: add KEY NUMBER
        //   mirror   mirror axes on, off or toggled: mirror x 2
        //   loft     loft axes on, off or toggled: loft z 1
        //   ui_set   set a view attribute: ui_set VIEW KEY VALUE
        //   ui_view  show or hide views: ui_view NAME ...
        //   snap     save a PNG snapshot: snap [VIEW] [PATH.png]
        {"set", &OMB_MakeCommand<TK_CMD_Set>, 2},
        {"add", &OMB_MakeCommand<TK_CMD_Add>, 2},
        {"mirror", &OMB_MakeCommand<TK_CMD_Mirror>, 2},
        {"loft", &OMB_MakeCommand<TK_CMD_Loft>, 2},
        {"ui_set", &OMB_MakeCommand<TK_CMD_UIAttrib>, 2},
        {"ui_view", &OMB_MakeCommand<TK_CMD_SwitchView>, 2},
        {"snap", &OMB_MakeCommand<TK_CMD_Snap>, 1},
    };
    for (const Entry& e : kCommands) executor.Register(e.name, e.factory, e.tag);
}
