// The built-in commands, in console-table order. Tag 1 commands run only from
// unprefixed text (hotkeys, scripts, the headless runner); tag 2 commands also
// from "/"-prefixed view lines. A new command adds one row here, in place,
// with its arguments and a one-line description for "help".
#include "edit/TK_Commands.h"

#include "core/OMB_CommandExecutor.h"
#include "edit/TK_BoxCommands.h"
#include "edit/TK_CameraCommands.h"
#include "edit/TK_GeneratorCommands.h"
#include "edit/TK_HelpCommand.h"
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
#include "edit/TK_VoxelShaderCommand.h"

const TK_CommandRow* TK_CommandTable(size_t& count) {
    static const TK_CommandRow kCommands[] = {
        {"Help", nullptr, 0},
        {"help", &OMB_MakeCommand<TK_CMD_Help>, 2, "[NAME]", "list the commands, or show one"},
        {"History", nullptr, 0},
        {"undo", &OMB_MakeCommand<TK_CMD_Undo>, 2, "", "undo the newest history step"},
        {"redo", &OMB_MakeCommand<TK_CMD_Redo>, 2, "", "redo the newest undone step"},
        {"Model files", nullptr, 0},
        {"open", &OMB_MakeCommand<TK_CMD_LoadPath>, 1, "[PATH]", "open a model file"},
        {"save", &OMB_MakeCommand<TK_CMD_SaveModel>, 1, "[PATH]", "save the model where it came from, or to PATH"},
        {"new", &OMB_MakeCommand<TK_CMD_NewModel>, 2, "", "new full box of the current colour"},
        {"dup", &OMB_MakeCommand<TK_CMD_DupModel>, 2, "NAME", "give the model a new name in the models folder"},
        {"name", &OMB_MakeCommand<TK_CMD_RenameModel>, 2, "NAME", "rename the model and its file"},
        {"del", &OMB_MakeCommand<TK_CMD_DeleteModel>, 2, "", "move the model's file to the trash"},
        {"ipatt", &OMB_MakeCommand<TK_CMD_LoadPattern>, 1, "[PATH]", "load the pattern brush's model"},
        {"recover", &OMB_MakeCommand<TK_CMD_Recover>, 2, "", "open the unsaved work an ended session left"},
        {"Import and export", nullptr, 0},
        {"i", &OMB_MakeCommand<TK_CMD_ImportModel>, 1, "[PATH]", "import a model or picture in another format"},
        {"o", &OMB_MakeCommand<TK_CMD_ExportModel>, 2, "FORMAT [PATH] [overwrite]", "export the model"},
        {"odir", &OMB_MakeCommand<TK_CMD_ExportDir>, 2, "FORMAT [FOLDER [OUT]]", "export every model of a folder"},
        {"ipal", &OMB_MakeCommand<TK_CMD_ImportPalette>, 1, "[PATH]", "load a palette from an image or model"},
        {"opal", &OMB_MakeCommand<TK_CMD_ExportPalette>, 1, "[PATH]", "save the palette as an image"},
        {"bake", &OMB_MakeCommand<TK_CMD_Bake>, 2, "[PATH]", "export a PLY mesh shaded by ambient occlusion"},
        {"Model edits", nullptr, 0},
        {"zero", &OMB_MakeCommand<TK_CMD_Clear>, 2, "", "remove all voxels"},
        {"full", &OMB_MakeCommand<TK_CMD_Full>, 2, "", "fill the whole box"},
        {"fill", &OMB_MakeCommand<TK_CMD_Fill>, 2, "", "recolour every voxel in the current colour"},
        {"inv", &OMB_MakeCommand<TK_CMD_Inverse>, 2, "", "swap empty and filled cells"},
        {"mir", &OMB_MakeCommand<TK_CMD_MirrorModel>, 2, "[x|y|z]", "copy the lower half mirrored onto the upper half"},
        {"expand", &OMB_MakeCommand<TK_CMD_Expand>, 2, "[AXES]", "grow the box by two cells"},
        {"size", &OMB_MakeCommand<TK_CMD_Resize>, 2, "X [Y [Z]]", "set the box size"},
        {"shrink", &OMB_MakeCommand<TK_CMD_Shrink>, 2, "[AXES]", "crop the box to the voxels"},
        {"loop", &OMB_MakeCommand<TK_CMD_Loop>, 2, "AXIS N ...", "shift with wrap-around"},
        {"flip", &OMB_MakeCommand<TK_CMD_Flip>, 2, "AXES", "mirror in place"},
        {"rot90", &OMB_MakeCommand<TK_CMD_Rot90>, 2, "x|y|z", "quarter turn"},
        {"Generators", nullptr, 0},
        {"repeat", &OMB_MakeCommand<TK_CMD_Repeat>, 2, "[FX [FY [FZ]]]", "repeat the voxels"},
        {"scale", &OMB_MakeCommand<TK_CMD_Scale>, 2, "[FX [FY [FZ]]]", "scale the model"},
        {"rot", &OMB_MakeCommand<TK_CMD_Rotate>, 2, "AXES DEGREES ...", "free rotation about the centre"},
        {"x2", &OMB_MakeCommand<TK_CMD_Scale2X>, 2, "", "double the resolution"},
        {"flood", &OMB_MakeCommand<TK_CMD_FloodFill>, 2, "", "fill the cells the outside cannot reach"},
        {"dil", &OMB_MakeCommand<TK_CMD_Dilation>, 2, "[AXES]", "dilation"},
        {"ero", &OMB_MakeCommand<TK_CMD_Erosion>, 2, "[AXES]", "erosion"},
        {"prim", &OMB_MakeCommand<TK_CMD_Prim>, 2, "elli|pyra|cyli|cone", "primitive shape in the current colour"},
        {"noise", &OMB_MakeCommand<TK_CMD_Noise>, 2, "[SEED [FREQ [LOW [HIGH]]]]", "noise generator"},
        {"maze", &OMB_MakeCommand<TK_CMD_Maze>, 2, "[N]", "maze generator"},
        {"xs", &OMB_MakeCommand<TK_CMD_VoxelShader>, 2, "[NAME [ARG ...]]", "run a voxel shader over the box, or list them"},
        {"fractal", &OMB_MakeCommand<TK_CMD_Fractal>, 1, "[PATH]", "fractal of a pattern model"},
        {"rand", &OMB_MakeCommand<TK_CMD_RandomModel>, 2, "[LO [HI]]", "random colours"},
        {"Palette", nullptr, 0},
        {"index", &OMB_MakeCommand<TK_CMD_ColorIndex>, 2, "N", "select the current colour index"},
        {"rgb", &OMB_MakeCommand<TK_CMD_RGB>, 2, "[set N] COLOUR", "set a palette colour"},
        {"pal", &OMB_MakeCommand<TK_CMD_PAL>, 2, "KEYWORD ...", "palette generators: bw, mac, fill, mask, grad"},
        {"swap", &OMB_MakeCommand<TK_CMD_SwapColor>, 2, "A B", "swap two palette entries"},
        {"Settings", nullptr, 0},
        {"set", &OMB_MakeCommand<TK_CMD_Set>, 2, "KEY VALUE ...", "change an editor setting (brush, display, path tracer)"},
        {"add", &OMB_MakeCommand<TK_CMD_Add>, 2, "KEY NUMBER", "add to a numeric setting within its range"},
        {"mirror", &OMB_MakeCommand<TK_CMD_Mirror>, 2, "AXIS 0|1|2 ...", "brush mirror axes off, on or toggled"},
        {"loft", &OMB_MakeCommand<TK_CMD_Loft>, 2, "AXIS 0|1|2 ...", "brush loft axes off, on or toggled"},
        {"ui_set", &OMB_MakeCommand<TK_CMD_UIAttrib>, 2, "VIEW KEY VALUE", "set an attribute of a view"},
        {"ui_view", &OMB_MakeCommand<TK_CMD_SwitchView>, 2, "NAME ...", "show or hide views"},
        {"cam", &OMB_MakeCommand<TK_CMD_CameraSlot>, 1, "N", "choose, save (-1) or load (-2) a camera slot"},
        {"snap", &OMB_MakeCommand<TK_CMD_Snap>, 1, "[VIEW] [PATH.png]", "save a PNG snapshot of the window or a view"},
    };
    count = sizeof kCommands / sizeof kCommands[0];
    return kCommands;
}

void TK_RegisterCommands(OMB_CommandExecutor& executor) {
    size_t count = 0;
    const TK_CommandRow* rows = TK_CommandTable(count);
    for (size_t i = 0; i < count; ++i)
        if (rows[i].factory) executor.Register(rows[i].name, rows[i].factory, rows[i].tag);
}
