// The command line of tarsk and the pieces its modes share: the editor
// window (`tarsk [MODEL.vox]`), the headless runner (`--headless`), the
// offscreen snapshot (`--snap OUT.png`) and the offscreen path-traced render
// (`--render OUT.png`), each also as a turntable (`--turntable N`), and the
// file manager's thumbnail (`--thumbnail OUT.png`). Parsing only reads and
// checks; the modes run from the parsed options.
#pragma once

#include <string>
#include <vector>

class TK_EditorEnv;

enum class TK_RunMode { Window, Headless, Snap, Render, Thumbnail };

struct TK_Options {
    TK_RunMode mode = TK_RunMode::Window;
    std::vector<std::string> lines;  // -c and --script lines, in order
    bool quiet = false;
    bool help = false;
    bool version = false;
    std::string modelPath;           // MODEL.vox (window, snap, render)
    std::string snapPath;            // --snap, --render or --thumbnail OUT.png
    int width = 640;                 // --size WxH (snap, render)
    int height = 480;
    float pitch = 30;                // --angle PITCH YAW (snap, render): degrees,
    float yaw = -30;                 // positive pitch looks down on the model
    int samples = 256;               // --spp N (render)
    int turntable = 0;               // --turntable N (snap, render): frames, 0 for one picture
    bool sizeGiven = false;          // --size was on the command line
};

constexpr int kMaxSnapSide = 8192;
constexpr int kMaxThumbnailSide = 1024;  // the largest size the desktops ask for
constexpr int kDefaultThumbnailSide = 256;
constexpr int kMaxRenderSamples = 1000000;
constexpr int kMaxTurntableFrames = 3600;
// A turntable without --size is square and small enough to post.
constexpr int kTurntableSide = 480;

// `args` excludes the program name. False on a usage error, after printing
// it and the usage text to standard error.
bool TK_ParseOptions(int argc, const char* const* args, TK_Options& options);
const char* TK_UsageText();

// Lines that are empty or start with '#' (after blanks) are skipped.
bool TK_IsBlankOrComment(const std::string& line);
// Runs one console line with an empty prefix; true when it ran at least one
// command and every command succeeded.
bool TK_RunConsoleLine(TK_EditorEnv& env, const std::string& line);
// Runs the lines in order (skipping blank and comment lines); true when every
// line succeeded. A failing line never stops the later ones.
bool TK_RunConsoleLines(TK_EditorEnv& env, const std::vector<std::string>& lines);
