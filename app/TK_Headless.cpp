// The headless runner (see TK_Headless.h).
#include "app/TK_Headless.h"

#include <cstdio>
#include <memory>

#include "app/TK_Startup.h"
#include "core/OMB_Log.h"
#include "core/OS_Signals.h"
#include "model/TK_EditorEnv.h"

int TK_RunHeadless(const TK_Options& options) {
    auto env = std::make_unique<TK_EditorEnv>();
    env->headless = true;
    env->writesCacheCopy = false;
    // Quiet from the start: a first run's note on the user's folders is a log line.
    OMB_SetLogMode(options.quiet ? OMB_LogMode::ProblemsOnly : OMB_LogMode::All);
    TK_SetupEnvironment(*env);
    // The start-up script is the program's own business: show only problems.
    OMB_SetLogMode(OMB_LogMode::ProblemsOnly);
    TK_RunStartupScript(*env);
    OMB_SetLogMode(options.quiet ? OMB_LogMode::ProblemsOnly : OMB_LogMode::All);
    const bool allOk = TK_RunConsoleLines(*env, options.lines);
    std::fflush(stdout);
    if (OS_StopSignal()) return OS_StopStatus();
    return allOk ? 0 : 1;
}
