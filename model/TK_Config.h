// The configuration file "config/config.txt" below the program directory:
// workspace folders and raster colours, read once while the environment is
// set up. Nothing is written back. A missing file, a syntax error or a
// missing key leaves the defaults in force.
#pragma once

#include <string>

struct TK_Workspace;

// Reads `path` (an LMP text) into the workspace's overridable settings. The
// only messages are the text reader's and the parser's own.
void LoadConfig(TK_Workspace& workspace, const std::string& path);
// The configuration's own path below the workspace's program directory.
std::string ConfigPath(const TK_Workspace& workspace);

// "$" at the start stands for the program directory; backslashes become "/";
// one trailing "/" is dropped.
std::string NormalizeFolder(const std::string& programDir, const std::string& path);
