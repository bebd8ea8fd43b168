// The configuration file "config.txt" of the configuration folder:
// workspace folders and raster colours, read once while the environment is
// set up. Nothing is written back. A missing file, a syntax error or a
// missing key leaves the defaults in force.
#pragma once

#include <string>

class OMB_LmpParser;
struct TK_Workspace;

// Reads `path` (an LMP text) into the workspace's overridable settings. The
// only messages are the text reader's and the parser's own.
void LoadConfig(TK_Workspace& workspace, const std::string& path);
// Parses the file at `path` into `parser` for a plugin's own section. False
// without a message when the file does not exist (the normal case for a bare
// program folder), and after the parser's message when it does not parse.
bool TK_ParseConfigFile(const std::string& path, OMB_LmpParser& parser);
// The configuration file of the workspace: its configuration folder's copy,
// else the shipped defaults.
std::string ConfigPath(const TK_Workspace& workspace);

// The user interface's scale: "auto" gives 0 (the platform's scale), a
// number is rounded to a quarter and clamped to 1..3. False for anything
// else; `scale` is then left alone.
bool TK_ParseUiScale(const std::string& text, float& scale);

// "$" at the start stands for the program directory; backslashes become "/";
// one trailing "/" is dropped.
std::string NormalizeFolder(const std::string& programDir, const std::string& path);
