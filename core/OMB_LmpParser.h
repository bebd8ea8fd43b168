// OMB_LmpParser: the program's hierarchical text format, read by the
// configuration, the UI description and the camera files. A text becomes a
// tree of OMB_LmpNode (key, value, attributes, children); consumers look nodes
// up by key and convert value texts with the static value readers. The rule
// not to break: a failed parse leaves an empty tree, never a partial one.
//
// Syntax of one entry, every part optional but at least a key, a value or a
// child group must be there:
//   key  [=] 'literal' | "string" | [==[block]==]  ( entries )...
//   [::] { entries } :: { entries } ...  ~key
#pragma once

#include "core/OMB_Lexer.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

// One entry. A node owns its attributes and children.
struct OMB_LmpNode {
    std::string key;    // empty when the entry has none
    std::string value;  // escapes decoded, block strings as written
    std::vector<std::unique_ptr<OMB_LmpNode>> attributes;  // entries inside ( )
    std::vector<std::unique_ptr<OMB_LmpNode>> children;    // entries inside { }

    void Clear();
    // Appends a new attribute / child and returns it (owned by this node).
    OMB_LmpNode* AddAttribute(const std::string& key, const std::string& value = std::string());
    OMB_LmpNode* AddChild(const std::string& key, const std::string& value = std::string());
};

// Reads a whole file as text (mode "rb"); `text` holds the bytes, and its
// c_str() is the zero-terminated form the parser takes. On failure prints
// "TextFile : failed to open file : PATH" (or a read / size message), leaves
// `text` empty and returns false. Files above kMaxTextFileSize are refused.
constexpr size_t kMaxTextFileSize = size_t(64) << 20;
bool OMB_ReadTextFile(const char* path, std::string& text);

class OMB_LmpParser {
public:
    // Entries nested deeper than this fail with "invalid format".
    static constexpr int kMaxDepth = 64;

    // Parses a zero-terminated text into Root(). False on the first error,
    // after printing it; the root is then empty. On success the root's key is
    // "root" and its children are the top-level entries.
    bool Parse(const char* text);
    // OMB_ReadTextFile, then Parse. An unreadable file gives false and an
    // empty root.
    bool ParseFile(const char* path);

    const OMB_LmpNode& Root() const { return m_root; }
    OMB_LmpNode& Root() { return m_root; }

    // First child / attribute whose key equals `key` in any ASCII case; null
    // when there is none or `node` is null.
    static const OMB_LmpNode* FindChild(const OMB_LmpNode* node, const char* key);
    static OMB_LmpNode* FindChild(OMB_LmpNode* node, const char* key);
    static const OMB_LmpNode* FindAttribute(const OMB_LmpNode* node, const char* key);
    static OMB_LmpNode* FindAttribute(OMB_LmpNode* node, const char* key);

    // Value readers; each lexes `text` afresh with options 0. A null text
    // reads as an empty one.
    // `count` numbers into out (zeroed first); false when fewer could be read,
    // the ones read are kept.
    static bool ParseFloats(const char* text, int count, float* out);
    // Up to four integers as the bytes R, G, B, A (each value's low byte) of
    // a colour that starts as opaque black; red is the lowest byte of the
    // result. Reading stops at the first failure.
    static uint32_t ParseColor(const char* text);
    // The node's value as one integer; 0 when the node is null or the value
    // is not an integer.
    static int32_t NodeInt(const OMB_LmpNode* node);
    static bool NodeBool(const OMB_LmpNode* node) { return NodeInt(node) != 0; }

private:
    bool ParseEntry(OMB_LmpNode& node, int depth);
    bool ParseGroup(OMB_LmpNode& node, int depth, bool attributes);
    const OMB_Token* Peek();
    bool NextIs(const char* punct);
    bool Accept(const char* punct);
    bool Take(OMB_Token& token);
    bool Lex(OMB_Token& token);
    bool Fail(const char* message) const;
    bool Abort();

    OMB_Lexer m_lexer;
    std::deque<OMB_Token> m_lookahead;
    int m_line = 0;    // of the most recently lexed token, for messages
    int m_column = 0;
    OMB_LmpNode m_root;
};
