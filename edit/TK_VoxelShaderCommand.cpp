// "xs" (see TK_VoxelShaderCommand.h): argument parsing, the shader listing,
// reading the file and turning the evaluator's bytes into voxels.
#include "edit/TK_VoxelShaderCommand.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/OMB_Lexer.h"
#include "core/OMB_Log.h"
#include "edit/TK_CommandArgs.h"
#include "edit/TK_VoxelShaderEvaluator.h"
#include "plugins/TK_ImageFile.h"

namespace {

constexpr char kExtension[] = ".txt";
constexpr size_t kMaxListedComment = 160;

// Each run sees the count of runs before it, so a shader applied again and
// again (a growth step, a random scatter) can vary from run to run.
int g_frameCounter = 0;

// A name the console can type: what the lexer reads as one word.
bool IsShaderName(const std::string& name) {
    if (name.empty()) return false;
    OMB_Lexer lexer(name.c_str(), 0);
    OMB_Token token;
    return TK_NextArg(lexer, token) == TK_ArgRead::Token && token.kind == OMB_TOKEN_WORD &&
           size_t(token.length) == name.size();
}

std::string ShaderPath(const TK_EditorEnv& env, const std::string& name) {
    return TK_CMD_VoxelShader::Folder(env) + "/" + name + kExtension;
}

// The runnable shader names of a folder, sorted.
std::vector<std::string> ShaderNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(std::filesystem::u8path(folder), error), end; !error && it != end; it.increment(error)) {
        const std::filesystem::path& path = it->path();
        if (path.extension() != kExtension || !it->is_regular_file(error)) continue;
        const std::string name = path.stem().u8string();
        if (IsShaderName(name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::string TK_CMD_VoxelShader::Folder(const TK_EditorEnv& env) { return env.workspace.dataDir + "/shader"; }

std::string TK_CMD_VoxelShader::FirstCommentLine(const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t first = text.find_first_not_of(" \t", start);
        if (first < end && text.compare(first, 2, "//") == 0) {
            std::string line = text.substr(first + 2, std::min(end - first - 2, kMaxListedComment));
            // The listing goes to a terminal: no control bytes from a file.
            for (char& c : line)
                if (static_cast<unsigned char>(c) < 0x20) c = ' ';
            const size_t b = line.find_first_not_of(' ');
            if (b == std::string::npos) return "";
            return line.substr(b, line.find_last_not_of(' ') - b + 1);
        }
        start = end + 1;
    }
    return "";
}

namespace {

std::string FirstWord(const char* args) {
    const char* p = args;
    while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
    const char* end = p;
    while (*end && !std::isspace(static_cast<unsigned char>(*end))) ++end;
    return std::string(p, end);
}

// Letters, digits, "_" and "-": a file of the shader folder, never a path.
bool IsShaderName(const char* args) {
    const std::string word = FirstWord(args);
    for (char c : word)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return false;
    return !word.empty();
}

}  // namespace

bool TK_CMD_VoxelShader::Parse(const char* args) {
    OMB_Lexer lexer(args, 0);
    OMB_Token token;
    const TK_ArgRead read = TK_NextArg(lexer, token);
    if (read == TK_ArgRead::End) return true;
    if (read == TK_ArgRead::Bad || token.kind != OMB_TOKEN_WORD || !IsShaderName(args)) {
        // A path or a quoted text is a natural mistake: say what is wanted.
        OMB_Printf("[Error] xs : not a shader name : %s (one of the names \"xs\" lists, no folder or extension)\n",
                   FirstWord(args).c_str());
        return false;
    }
    m_name = token.Text();
    for (int n = 0;; ++n) {
        lexer.SkipToToken();
        if (lexer.AtEnd()) return true;
        if (n == kMaxArgs || !lexer.ReadFloat(m_args[n])) return false;
    }
}

bool TK_CMD_VoxelShader::Execute() { return m_name.empty() ? List() : TK_CMD_Shape::Execute(); }

bool TK_CMD_VoxelShader::List() const {
    const std::string folder = Folder(*m_env);
    std::error_code error;
    if (!std::filesystem::is_directory(std::filesystem::u8path(folder), error)) {
        OMB_Printf("[Error] xs : no shader folder : %s\n", folder.c_str());
        return false;
    }
    const std::vector<std::string> names = ShaderNames(folder);
    if (names.empty()) OMB_Printf("[Log] xs : no shaders in %s\n", folder.c_str());
    for (const std::string& name : names) {
        std::vector<uint8_t> bytes;
        TK_ReadFileBytes(ShaderPath(*m_env, name), kMaxSourceBytes, bytes);
        const std::string text(bytes.begin(), bytes.end());
        OMB_Printf("[Log] xs : %s : %s\n", name.c_str(), FirstCommentLine(text).c_str());
    }
    return true;
}

bool TK_CMD_VoxelShader::CanApply() {
    if (!m_env->voxelShaders) {
        OMB_Printf("[Error] xs : voxel shaders need OpenGL\n");
        return false;
    }
    const std::string path = ShaderPath(*m_env, m_name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::u8path(path), error)) {
        OMB_Printf("[Error] xs : no shader : %s\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!TK_ReadFileBytes(path, kMaxSourceBytes, bytes)) {
        OMB_Printf("[Error] xs : cannot read shader (over %zu KiB?) : %s\n", kMaxSourceBytes / 1024, path.c_str());
        return false;
    }
    // The GL takes zero-terminated text: a zero byte would cut it silently.
    if (std::find(bytes.begin(), bytes.end(), 0) != bytes.end()) {
        OMB_Printf("[Error] xs : not a text file : %s\n", path.c_str());
        return false;
    }
    m_source.assign(bytes.begin(), bytes.end());
    m_frame = g_frameCounter++;
    return true;
}

bool TK_CMD_VoxelShader::Evaluate() {
    const TK_Model& model = Model();
    const TK_VoxelGrid before = TK_VoxelGrid::FromModel(model);
    TK_VoxelShaderJob job;
    job.fileName = m_name + kExtension;
    job.source = m_source;
    std::copy(model.size, model.size + 3, job.size);
    job.cells = before.cells.data();
    job.numVoxels = model.voxels.Count();
    job.colorIndex = float(m_env->currentColorIndex);
    // The brush symmetry and loft axes, so a shader can honour them too.
    for (int a = 0; a < 3; ++a) {
        job.mirror[a] = float(m_env->settings.mirror[a]);
        job.axis[a] = float(m_env->settings.loft[a]);
    }
    std::copy(m_args, m_args + kMaxArgs, job.args);
    job.frame = float(m_frame);
    m_result.Reset(model.size[0], model.size[1], model.size[2]);
    if (!m_env->voxelShaders->Evaluate(job, m_result.cells.data())) return false;
    if (m_result.cells == before.cells) {
        OMB_Printf("[Warning] xs : %s changed no cell\n", job.fileName.c_str());
        return false;
    }
    return true;
}

bool TK_CMD_VoxelShader::Apply() {
    if (!m_evaluated) {
        if (!Evaluate()) return false;
        m_evaluated = true;
        // The text has done its work; the history keeps only the result.
        std::string().swap(m_source);
    }
    m_result.WriteTo(Model());
    return true;
}
