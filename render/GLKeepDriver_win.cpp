// GLKeepDriverLoaded on Windows (see GLLoader.h): nothing to do. The GL
// driver's DLLs stay loaded until the process ends unless someone calls
// FreeLibrary for them, which neither SDL nor the program does.
#include "render/GLLoader.h"

void GLKeepDriverLoaded() {}
