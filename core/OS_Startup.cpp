// Process start-up on POSIX systems (see OS_Startup.h): arguments are bytes
// the shell passed, standard output is the terminal's already.
#include "core/OS_Startup.h"

void OS_Utf8Arguments(int&, char**&) {}

void OS_UseParentConsole() {}
