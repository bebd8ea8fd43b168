// libFuzzer target for OMB_LmpParser: any bytes are parsed; a tree that
// parses is written back and must parse to the same tree, and every value
// goes through the value readers. Catches over-reads, deep recursion,
// leaks of half-built trees and writer/parser disagreements.
#include "core/OMB_LmpParser.h"
#include "core/OMB_Log.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Recursion is bounded by the parser's depth cap.
bool SameTree(const OMB_LmpNode& a, const OMB_LmpNode& b) {
    if (a.key != b.key || a.value != b.value || a.attributes.size() != b.attributes.size() ||
        a.children.size() != b.children.size())
        return false;
    for (size_t i = 0; i < a.attributes.size(); ++i)
        if (!SameTree(*a.attributes[i], *b.attributes[i])) return false;
    for (size_t i = 0; i < a.children.size(); ++i)
        if (!SameTree(*a.children[i], *b.children[i])) return false;
    return true;
}

void ReadValues(const OMB_LmpNode& node) {
    float floats[4];
    int32_t ints[2];
    (void)OMB_LmpParser::ParseFloat(node.value.c_str());
    (void)OMB_LmpParser::ParseFloats(node.value.c_str(), 4, floats);
    (void)OMB_LmpParser::ParseInt2(node.value.c_str(), ints);
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

    std::string written;
    OMB_LmpWriteEntries(parser.Root(), written);
    OMB_LmpParser again;
    if (!again.Parse(written.c_str()) || !SameTree(parser.Root(), again.Root())) std::abort();
    return 0;
}
