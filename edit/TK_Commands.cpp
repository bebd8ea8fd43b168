// The built-in commands, in console-table order. A new command adds one row
// here, in place, with its arguments and a one-line description for "help".
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
        {"Help", nullptr},
        {"help", &OMB_MakeCommand<TK_CMD_Help>, "[NAME]", "list the commands, or show one"},
        {"History", nullptr},
        {"undo", &OMB_MakeCommand<TK_CMD_Undo>, "", "undo the newest history step"},
        {"redo", &OMB_MakeCommand<TK_CMD_Redo>, "", "redo the newest undone step"},
        {"Model files", nullptr},
        {"open", &OMB_MakeCommand<TK_CMD_LoadPath>, "[PATH | #N]", "open a model file, or model N of the open one (# lists them)", true},
        {"save", &OMB_MakeCommand<TK_CMD_SaveModel>, "[PATH]", "save the model where it came from, or to PATH"},
        {"new", &OMB_MakeCommand<TK_CMD_NewModel>, "", "new full box of the current colour", true},
        {"dup", &OMB_MakeCommand<TK_CMD_DupModel>, "NAME", "give the model a new name in the models folder"},
        {"name", &OMB_MakeCommand<TK_CMD_RenameModel>, "NAME", "rename the model and its file"},
        {"del", &OMB_MakeCommand<TK_CMD_DeleteModel>, "", "move the model's file to the trash"},
        {"ipatt", &OMB_MakeCommand<TK_CMD_LoadPattern>, "[PATH]", "load the pattern brush's model"},
        {"recover", &OMB_MakeCommand<TK_CMD_Recover>, "", "open the unsaved work an ended session left", true},
        {"Import and export", nullptr},
        {"i", &OMB_MakeCommand<TK_CMD_ImportModel>, "[PATH]", "import a model or picture in another format", true},
        {"o", &OMB_MakeCommand<TK_CMD_ExportModel>, "FORMAT [PATH] [overwrite]", "export the model"},
        {"odir", &OMB_MakeCommand<TK_CMD_ExportDir>, "FORMAT [FOLDER [OUT]]", "export every model of a folder"},
        {"ipal", &OMB_MakeCommand<TK_CMD_ImportPalette>, "[PATH]", "load a palette from an image or model"},
        {"opal", &OMB_MakeCommand<TK_CMD_ExportPalette>, "[PATH]", "save the palette as an image"},
        {"bake", &OMB_MakeCommand<TK_CMD_Bake>, "[PATH]", "export a PLY mesh shaded by ambient occlusion"},
        {"Model edits", nullptr},
        {"zero", &OMB_MakeCommand<TK_CMD_Clear>, "", "remove all voxels"},
        {"full", &OMB_MakeCommand<TK_CMD_Full>, "", "fill the whole box"},
        {"fill", &OMB_MakeCommand<TK_CMD_Fill>, "", "recolour every voxel in the current colour"},
        {"inv", &OMB_MakeCommand<TK_CMD_Inverse>, "", "swap empty and filled cells"},
        {"mir", &OMB_MakeCommand<TK_CMD_MirrorModel>, "[x|y|z]", "copy the lower half mirrored onto the upper half"},
        {"expand", &OMB_MakeCommand<TK_CMD_Expand>, "[AXES]", "grow the box by two cells"},
        {"size", &OMB_MakeCommand<TK_CMD_Resize>, "X [Y [Z]]", "set the box size"},
        {"shrink", &OMB_MakeCommand<TK_CMD_Shrink>, "[AXES]", "crop the box to the voxels"},
        {"loop", &OMB_MakeCommand<TK_CMD_Loop>, "AXIS N ...", "shift with wrap-around"},
        {"flip", &OMB_MakeCommand<TK_CMD_Flip>, "AXES", "mirror in place"},
        {"rot90", &OMB_MakeCommand<TK_CMD_Rot90>, "x|y|z", "quarter turn"},
        {"Generators", nullptr},
        {"repeat", &OMB_MakeCommand<TK_CMD_Repeat>, "[FX [FY [FZ]]]", "repeat the voxels"},
        {"scale", &OMB_MakeCommand<TK_CMD_Scale>, "[FX [FY [FZ]]]", "scale the model"},
        {"rot", &OMB_MakeCommand<TK_CMD_Rotate>, "AXES DEGREES ...", "free rotation about the centre"},
        {"x2", &OMB_MakeCommand<TK_CMD_Scale2X>, "", "double the resolution"},
        {"flood", &OMB_MakeCommand<TK_CMD_FloodFill>, "", "fill the cells the outside cannot reach"},
        {"dil", &OMB_MakeCommand<TK_CMD_Dilation>, "[AXES]", "dilation"},
        {"ero", &OMB_MakeCommand<TK_CMD_Erosion>, "[AXES]", "erosion"},
        {"prim", &OMB_MakeCommand<TK_CMD_Prim>, "elli|pyra|cyli|cone", "primitive shape in the current colour"},
        {"noise", &OMB_MakeCommand<TK_CMD_Noise>, "[SEED [FREQ [LOW [HIGH]]]]", "noise generator"},
        {"maze", &OMB_MakeCommand<TK_CMD_Maze>, "[N]", "maze generator"},
        {"xs", &OMB_MakeCommand<TK_CMD_VoxelShader>, "[NAME [ARG ...]]", "run a voxel shader over the box, or list them"},
        {"fractal", &OMB_MakeCommand<TK_CMD_Fractal>, "[PATH]", "fractal of a pattern model"},
        {"rand", &OMB_MakeCommand<TK_CMD_RandomModel>, "[LO [HI]]", "random colours"},
        {"Palette", nullptr},
        {"index", &OMB_MakeCommand<TK_CMD_ColorIndex>, "N", "select the current colour index"},
        {"rgb", &OMB_MakeCommand<TK_CMD_RGB>, "[set N] COLOUR", "set a palette colour"},
        {"pal", &OMB_MakeCommand<TK_CMD_PAL>, "KEYWORD ...", "palette generators: bw, mac, fill, mask, grad"},
        {"swap", &OMB_MakeCommand<TK_CMD_SwapColor>, "A B", "swap two palette entries"},
        {"Settings", nullptr},
        {"set", &OMB_MakeCommand<TK_CMD_Set>, "KEY VALUE ...", "change an editor setting (brush, display, path tracer)"},
        {"add", &OMB_MakeCommand<TK_CMD_Add>, "KEY NUMBER", "add to a numeric setting within its range"},
        {"mirror", &OMB_MakeCommand<TK_CMD_Mirror>, "AXIS 0|1|2 ...", "brush mirror axes off, on or toggled"},
        {"loft", &OMB_MakeCommand<TK_CMD_Loft>, "AXIS 0|1|2 ...", "brush loft axes off, on or toggled"},
        {"ui_set", &OMB_MakeCommand<TK_CMD_UIAttrib>, "VIEW KEY VALUE", "set an attribute of a view"},
        {"ui_view", &OMB_MakeCommand<TK_CMD_SwitchView>, "NAME ...", "show or hide views"},
        {"ui_scale", &OMB_MakeCommand<TK_CMD_UIScale>, "auto|SCALE", "size of the user interface, 1 to 3"},
        {"cam", &OMB_MakeCommand<TK_CMD_CameraSlot>, "N", "choose, save (-1) or load (-2) a camera slot"},
        {"snap", &OMB_MakeCommand<TK_CMD_Snap>, "[VIEW] [PATH.png]", "save a PNG snapshot of the window or a view"},
    };
    count = sizeof kCommands / sizeof kCommands[0];
    return kCommands;
}

void TK_RegisterCommands(OMB_CommandExecutor& executor) {
    size_t count = 0;
    const TK_CommandRow* rows = TK_CommandTable(count);
    for (size_t i = 0; i < count; ++i)
        if (rows[i].factory) executor.Register(rows[i].name, rows[i].factory);
}

bool TK_LineReplacesModel(const char* line) {
    size_t count = 0;
    const TK_CommandRow* rows = TK_CommandTable(count);
    for (const OMB_CommandText& command : OMB_SplitCommands(line))
        for (size_t i = 0; i < count; ++i)
            if (rows[i].replacesModel && OMB_EqualNoCase(rows[i].name, command.name.c_str())) return true;
    return false;
}
