// The headless runner: `tarsk --headless [-c LINE]... [--script FILE] [-q]`.
// No window and no OpenGL; console lines run against a fresh environment after
// the editor's own start-up. Exit status: 0 when every command succeeded, 1
// when any failed or a line ran no command.
#pragma once

#include "app/TK_CommandLine.h"

int TK_RunHeadless(const TK_Options& options);
