// The command line of tarsk and the pieces its three modes share: the editor
// window (`tarsk [MODEL.vox]`), the headless runner (`--headless`) and the
// offscreen snapshot (`--snap OUT.png`). Parsing only reads and checks; the
// modes run from the parsed options.
#pragma once

#include <string>
#include <vector>

class TK_EditorEnv;

enum class TK_RunMode { Window, Headless, Snap };

struct TK_Options {
    TK_RunMode mode = TK_RunMode::Window;
    std::vector<std::string> lines;  // -c and --script lines, in order
    bool quiet = false;
    bool help = false;
    bool version = false;
    std::string modelPath;           // MODEL.vox (window, snap)
    std::string snapPath;            // --snap OUT.png
    int width = 640;                 // --size WxH (snap)
    int height = 480;
    float pitch = 30;                // --angle PITCH YAW (snap): degrees,
    float yaw = -30;                 // positive pitch looks down on the model
};

constexpr int kMaxSnapSide = 8192;

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
