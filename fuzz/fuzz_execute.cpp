// Feeds arbitrary bytes to the command executor as one console line, against
// an environment with every built-in command registered.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "app/TK_Startup.h"
#include "core/OMB_Log.h"
#include "model/TK_EditorEnv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TK_EditorEnv* env = [] {
        OMB_SetLogMode(OMB_LogMode::Silent);
        auto* e = new TK_EditorEnv();
        // The commands that write, rename or delete files take any path: here
        // they are taken first by the base command, which only fails, so no
        // input can touch the machine's files (the first entry of a name wins).
        for (const char* name : {"save", "name", "del", "o", "odir", "opal", "bake"})
            e->executor.Register(name, &OMB_MakeCommand<OMB_Command>);
        TK_SetupEnvironment(*e);
        return e;
    }();
    std::string text(reinterpret_cast<const char*>(data), size);
    env->ExecuteText(text.c_str());
    return 0;
}
