// Configuration loading (see TK_Config.h). Keys are matched in any ASCII case;
// only the first "render" and "workspace" entries count.
#include "model/TK_Config.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/OMB_FileHandle.h"
#include "core/OMB_LmpParser.h"
#include "core/OMB_Log.h"
#include "model/TK_Workspace.h"

namespace {

void ReadColor(const OMB_LmpNode* render, const char* key, uint8_t out[4]) {
    const OMB_LmpNode* node = OMB_LmpParser::FindAttribute(render, key);
    if (!node) return;
    uint32_t c = OMB_LmpParser::ParseColor(node->value.c_str());
    for (int i = 0; i < 4; ++i) out[i] = uint8_t(c >> (8 * i));
}

void ReadFloats3(const OMB_LmpNode* render, const char* key, float out[3]) {
    const OMB_LmpNode* node = OMB_LmpParser::FindAttribute(render, key);
    // Fewer than three numbers keep those read and zero the rest.
    if (node) OMB_LmpParser::ParseFloats(node->value.c_str(), 3, out);
}

void ReadFolder(const OMB_LmpNode* workspaceNode, const char* key, const std::string& programDir,
                std::string& folder) {
    const OMB_LmpNode* node = OMB_LmpParser::FindAttribute(workspaceNode, key);
    if (node) folder = NormalizeFolder(programDir, node->value);
}

// A number kept within [low, high]; a missing or unreadable one keeps `out`.
void ReadNumber(const OMB_LmpNode* section, const char* key, double low, double high, double& out) {
    const OMB_LmpNode* node = OMB_LmpParser::FindAttribute(section, key);
    float value = 0;
    if (!node || !OMB_LmpParser::ParseFloats(node->value.c_str(), 1, &value) || !(value == value)) return;
    out = std::min(high, std::max(low, double(value)));
}

}  // namespace

bool TK_ParseUiScale(const std::string& text, float& scale) {
    if (text == "auto") {
        scale = 0;
        return true;
    }
    float value = 0;
    if (!OMB_LmpParser::ParseFloats(text.c_str(), 1, &value) || !(value == value)) return false;
    scale = std::min(3.0f, std::max(1.0f, std::round(value * 4) / 4));
    return true;
}

std::string NormalizeFolder(const std::string& programDir, const std::string& path) {
    std::string p = !path.empty() && path[0] == '$' ? programDir + path.substr(1) : path;
    std::replace(p.begin(), p.end(), '\\', '/');
    if (!p.empty() && p.back() == '/') p.pop_back();
    return p;
}

bool TK_ParseConfigFile(const std::string& path, OMB_LmpParser& parser) {
    // A missing configuration is not an error: the defaults stand.
    if (!OMB_OpenForReading(path.c_str())) return false;
    return parser.ParseFile(path.c_str());
}

std::string ConfigPath(const TK_Workspace& workspace) { return TK_ConfigFile(workspace.configDir, workspace.dataDir); }

void LoadConfig(TK_Workspace& workspace, const std::string& path) {
    OMB_LmpParser parser;
    if (!parser.ParseFile(path.c_str())) return;
    const OMB_LmpNode* root = &parser.Root();
    if (const OMB_LmpNode* render = OMB_LmpParser::FindChild(root, "render")) {
        ReadColor(render, "ground_color", workspace.groundColor);
        ReadColor(render, "edge_color", workspace.edgeColor);
        ReadFloats3(render, "ambient_color", workspace.ambientColor);
        ReadFloats3(render, "bgColor_bottom", workspace.bgColorBottom);
        ReadFloats3(render, "bgColor_top", workspace.bgColorTop);
    }
    if (const OMB_LmpNode* ws = OMB_LmpParser::FindChild(root, "workspace")) {
        ReadFolder(ws, "dir_model", workspace.programDir, workspace.modelFolder);
        ReadFolder(ws, "dir_pattern", workspace.programDir, workspace.patternFolder);
        if (const OMB_LmpNode* dialog = OMB_LmpParser::FindAttribute(ws, "file_dialog"))
            workspace.ownFileDialog = dialog->value == "own";
        if (const OMB_LmpNode* scale = OMB_LmpParser::FindAttribute(ws, "ui_scale"))
            if (!TK_ParseUiScale(scale->value, workspace.uiScale))
                OMB_Printf("[Warning] config : ui_scale '%s' is neither 'auto' nor a number; auto is used\n",
                           scale->value.c_str());
    }
    if (const OMB_LmpNode* xs = OMB_LmpParser::FindChild(root, "voxel_shader"))
        ReadNumber(xs, "time_limit", 0.1, 3600, workspace.shaderTimeLimit);
}
