// libFuzzer target for OMB_LmpParser: any bytes are parsed; a failed parse
// must leave an empty tree, and every value of a tree that parses goes
// through the value readers. Catches over-reads, deep recursion and leaks of
// half-built trees.
#include "core/OMB_LmpParser.h"
#include "core/OMB_Log.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void ReadValues(const OMB_LmpNode& node) {
    float floats[4];
    (void)OMB_LmpParser::ParseFloats(node.value.c_str(), 4, floats);
    (void)OMB_LmpParser::NodeInt(&node);
    (void)OMB_LmpParser::ParseColor(node.value.c_str());
    (void)OMB_LmpParser::NodeBool(&node);
    (void)OMB_LmpParser::FindAttribute(&node, node.key.c_str());
    for (const auto& attribute : node.attributes) ReadValues(*attribute);
    for (const auto& child : node.children) ReadValues(*child);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    std::vector<char> text(data, data + size);
    text.push_back('\0');

    OMB_LmpParser parser;
    if (!parser.Parse(text.data())) {
        if (!parser.Root().children.empty() || !parser.Root().key.empty()) std::abort();
        return 0;
    }
    ReadValues(parser.Root());
    (void)OMB_LmpParser::FindChild(&parser.Root(), "render");
    return 0;
}
