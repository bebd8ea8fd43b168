// Start-up shared by the editor window, the snapshot mode and the headless
// runner: the registrations, then the model and palette lines of the
// start-up script, then a cleared history, so all begin from the same
// document. Also the two file steps around a session: opening the model
// named on the command line, and the backup written when the window closes.
#pragma once

#include <string>

class TK_EditorEnv;
class TK_Model;
struct TK_Workspace;

// For an installed copy, makes the user's folders (configuration and
// workspace) and on the first run copies the shipped configuration there,
// saying where they are. Nothing to do in portable mode. False after an
// "[Error]" line when a folder or the copy cannot be made.
bool TK_PrepareUserFolders(const TK_Workspace& workspace);
// Prepares the user's folders, reads the configuration, then registers
// every built-in command and every format plugin, and installs the GPU
// evaluator of the voxel shaders.
void TK_SetupEnvironment(TK_EditorEnv& env);
// Runs the start-up script's lines whose commands are registered (the lines
// for the editor's views only when the environment has a window), then
// clears the history. The settings keep their start-up
// values from here on; a renderer installed before reads them.
void TK_RunStartupScript(TK_EditorEnv& env);
// Replaces the current model with a native model file (normalised, named
// after the file) and tells the listeners. False, after printing
// "[Error] failed to load model : PATH", when the file does not load; the
// model is then unchanged.
bool TK_OpenModelFile(TK_EditorEnv& env, const std::string& path);
