// The kinds and flags of the editor's change notifications
// (TK_EditorEnv::ChangeNotification and the listeners' (kind, value) pairs).
// Commands send them, the environment, the renderers, the views and the
// editor window listen. The numbers travel between layers: never renumber.
#pragma once

enum TK_NotifyKind : int {
    TK_NOTIFY_EDITOR = 0,   // value: TK_EditorChange bits
    TK_NOTIFY_MODEL = 1,    // value: TK_ModelChange bits
    TK_NOTIFY_PALETTE = 2,  // value: the changed entry 1..255, 0 = all
    TK_NOTIFY_HISTORY = 3,  // value 0: a command ran or the history changed
    TK_NOTIFY_DISPLAY = 4,  // value: the changed raster display flag bit
    TK_NOTIFY_RENDER = 5,   // value 0: path-tracer settings or materials
};

// The value of the kinds that carry none (history, render).
constexpr int TK_NOTIFY_NO_VALUE = 0;
// Kind TK_NOTIFY_PALETTE: every entry changed (otherwise the one entry).
constexpr int TK_PALETTE_ALL = 0;

// Kind TK_NOTIFY_MODEL.
enum TK_ModelChange : int {
    TK_CHANGE_NAME = 1,     // the model's name (and file path)
    TK_CHANGE_FILES = 2,    // files of the model folder appeared or vanished
    TK_CHANGE_SIZE = 4,
    TK_CHANGE_TRIM = 8,     // trim working lists; the view re-centres
    TK_CHANGE_SAVED = 16,   // the model was written to its file
    TK_CHANGE_GEOMETRY = 32,
    TK_CHANGE_VOXELS = 64,
    TK_CHANGE_COLORS = 128,
    TK_CHANGE_SHAPE = 256,
    TK_CHANGE_PALETTE_COLORS = 512,
    TK_CHANGE_LOOK = 1024,  // materials or scene settings (what the file keeps besides the palette)
};

// Kind TK_NOTIFY_EDITOR.
enum TK_EditorChange : int {
    TK_EDITOR_COLOR = 1,         // the current colour index
    TK_EDITOR_MIRROR = 2,        // mirror axes
    TK_EDITOR_LOFT = 4,          // loft axes
    TK_EDITOR_BRUSH = 8,         // brush type or shape
    TK_EDITOR_BRUSH_SIZE = 16,
    TK_EDITOR_PALETTE_EDIT = 32, // an "rgb" edit is about to run
};
