// libFuzzer target for the argument builder: any bytes as a file name (up to
// the first zero, as a path holds none) are quoted into a line, split and
// read back; the line must hold one command whose one argument is the name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/OMB_Arguments.h"
#include "core/OMB_CommandExecutor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string name(reinterpret_cast<const char*>(data), size);
    name = name.substr(0, name.find('\0'));
    const std::string line = OMB_CommandWithArgument("open", name) + "|next";
    const std::vector<OMB_CommandText> commands = OMB_SplitCommands(line.c_str());
    if (commands.size() != 2 || commands[0].name != "open" || commands[1].name != "next") std::abort();
    if (OMB_PathArgument(commands[0].args.c_str()) != name) std::abort();
    std::vector<std::string> words;
    if (!OMB_SplitArguments(commands[0].args.c_str(), words) || words.size() != 1 || words[0] != name) std::abort();
    // Typed text: reading never runs past the end, whatever it holds.
    std::vector<std::string> typed;
    OMB_SplitArguments(name.c_str(), typed);
    (void)OMB_PathArgument(name.c_str());
    return 0;
}
