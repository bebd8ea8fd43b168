// Option parsing and console-line running shared by the modes of tarsk (see
// TK_CommandLine.h). Each option is valid in some modes only; the mode is
// found first, so "--headless" may come anywhere.
#include "app/TK_CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/OMB_FileHandle.h"
#include "core/OS_Signals.h"
#include "model/TK_EditorEnv.h"

namespace {

const char kUsage[] =
    "usage: tarsk [MODEL.vox]\n"
    "       tarsk --headless [OPTIONS]\n"
    "       tarsk --snap OUT [--size WxH] [--angle PITCH YAW] [--turntable N] [OPTIONS] [MODEL.vox]\n"
    "       tarsk --render OUT [--size WxH] [--spp N] [--angle PITCH YAW] [--turntable N] [OPTIONS] [MODEL.vox]\n"
    "       tarsk --thumbnail OUT.png [--size N] MODEL.vox\n"
    "  -c LINE            run LINE as a console line (repeatable, in order; the editor runs them after start-up)\n"
    "  --script FILE      run each line of FILE ('#' starts a comment line; - reads standard input)\n"
    "  -q, --quiet        print only [Error] and [Warning] lines\n"
    "  --snap OUT         render one raster frame offscreen and write it as RGBA PNG (OUT.png)\n"
    "  --render OUT       path-trace the model offscreen: RGBA PNG (OUT.png), or the linear\n"
    "                     radiance as OpenEXR (OUT.exr) for compositing\n"
    "  --thumbnail OUT.png  write the model's thumbnail (RGBA PNG, transparent background); writes nothing else\n"
    "  --spp N            samples of the render, per frame (default 256)\n"
    "  --size WxH         picture size in pixels (default 640x480, turntables 480x480; at most 8192;\n"
    "                     N is NxN; thumbnails 256x256, at most 1024)\n"
    "  --angle PITCH YAW  view angle in degrees (default 30 -30; positive pitch looks down)\n"
    "  --turntable N      N frames around the model (1 to 3600), one turn in about 3.6 s, looping:\n"
    "                     OUT.webp (animated WebP), OUT.gif (animated GIF) or a PNG series\n"
    "                     named by one frame number, e.g. frame_%03d.png (frames from 0);\n"
    "                     with --render also an OpenEXR series, e.g. frame_%03d.exr\n"
    "  --help             show this text\n"
    "  --version          show the version\n"
    "The console commands are listed by the command \"help\" (tarsk --headless -c help).\n";

enum ModeBits { kWindow = 1, kHeadless = 2, kSnap = 4, kRender = 8, kThumbnail = 16, kAll = 31 };

// Far above any real script (a 126-cell model drawn line by line is a few
// megabytes), far below what would exhaust memory on a stream like /dev/zero.
constexpr size_t kMaxScriptBytes = size_t(16) << 20;

// The lines of FILE, or of standard input for "-" (any stream is fine: a
// pipe, a FIFO, a process substitution); false with the reason in `why`.
bool ReadScript(const char* path, std::vector<std::string>& lines, std::string& why) {
    const bool standardInput = !std::strcmp(path, "-");
    FILE* in = standardInput ? stdin : OMB_OpenFile(path, "rb");
    if (!in) {
        why = std::strerror(errno);
        return false;
    }
    std::string text;
    char buffer[65536];
    size_t n = 0;
    while (why.empty() && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        if (text.size() + n > kMaxScriptBytes) why = "too large (more than 16 MB)";
        text.append(buffer, n);
    }
    if (why.empty() && std::ferror(in)) why = std::strerror(errno);
    if (!standardInput) std::fclose(in);
    if (!why.empty()) return false;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

bool Usage(const char* format, const char* arg) {
    std::fprintf(stderr, format, arg);
    std::fputs(kUsage, stderr);
    return false;
}

// Number of values an option takes; -1 for an unknown option.
int ValueCount(const char* a) {
    static const struct {
        const char* name;
        int values;
    } kOptions[] = {{"-c", 1},       {"--script", 1}, {"--snap", 1},  {"--size", 1},    {"--angle", 2},
                    {"--render", 1}, {"--spp", 1},    {"-q", 0},      {"--quiet", 0},   {"--help", 0},
                    {"--version", 0}, {"--headless", 0}, {"--turntable", 1}, {"--thumbnail", 1}};
    for (const auto& o : kOptions)
        if (!std::strcmp(a, o.name)) return o.values;
    return -1;
}

int AllowedModes(const char* a) {
    // A thumbnail runs no lines: it is made of the file alone.
    if (!std::strcmp(a, "-c") || !std::strcmp(a, "--script")) return kAll & ~kThumbnail;
    if (!std::strcmp(a, "--size")) return kSnap | kRender | kThumbnail;
    if (!std::strcmp(a, "--angle") || !std::strcmp(a, "--turntable")) return kSnap | kRender;
    if (!std::strcmp(a, "--thumbnail")) return kThumbnail;
    if (!std::strcmp(a, "--snap")) return kSnap;
    if (!std::strcmp(a, "--render") || !std::strcmp(a, "--spp")) return kRender;
    return kAll;
}

// First pass: the mode, skipping option values. False on two modes.
bool FindMode(int argc, const char* const* args, TK_Options& options) {
    bool headless = false, snap = false, render = false, thumbnail = false;
    for (int i = 0; i < argc; ++i) {
        headless = headless || !std::strcmp(args[i], "--headless");
        snap = snap || !std::strcmp(args[i], "--snap");
        render = render || !std::strcmp(args[i], "--render");
        thumbnail = thumbnail || !std::strcmp(args[i], "--thumbnail");
        const int values = ValueCount(args[i]);
        if (values > 0) i += values;
    }
    if (int(headless) + int(snap) + int(render) + int(thumbnail) > 1)
        return Usage("tarsk: %s\n", "--headless, --snap, --render and --thumbnail exclude each other");
    options.mode = headless    ? TK_RunMode::Headless
                   : snap      ? TK_RunMode::Snap
                   : render    ? TK_RunMode::Render
                   : thumbnail ? TK_RunMode::Thumbnail
                               : TK_RunMode::Window;
    if (thumbnail) options.width = options.height = kDefaultThumbnailSide;
    return true;
}

// "WxH", or "N" for a square (the thumbnailer's way of asking).
bool ParseSize(const char* text, int maxSide, int& width, int& height) {
    char* end = nullptr;
    const long w = std::strtol(text, &end, 10);
    if (end == text || (*end && *end != 'x' && *end != 'X')) return false;
    long h = w;
    if (*end) {
        const char* second = end + 1;
        h = std::strtol(second, &end, 10);
        if (end == second || *end) return false;
    }
    if (w < 1 || h < 1 || w > maxSide || h > maxSide) return false;
    width = int(w);
    height = int(h);
    return true;
}

bool ParseAngle(const char* text, float& out) {
    char* end = nullptr;
    const float v = std::strtof(text, &end);
    if (end == text || *end || !std::isfinite(v)) return false;
    out = v;
    return true;
}

// One option with its values (already known to be present).
bool ParseOption(const char* a, const char* const* values, TK_Options& options) {
    if (!std::strcmp(a, "-c")) {
        options.lines.push_back(values[0]);
    } else if (!std::strcmp(a, "--script")) {
        std::string why;
        if (!ReadScript(values[0], options.lines, why)) {
            std::fprintf(stderr, "tarsk: cannot read script: %s : %s\n", values[0], why.c_str());
            return false;
        }
    } else if (!std::strcmp(a, "--snap") || !std::strcmp(a, "--render") || !std::strcmp(a, "--thumbnail")) {
        options.snapPath = values[0];
    } else if (!std::strcmp(a, "--spp")) {
        char* end = nullptr;
        const long n = std::strtol(values[0], &end, 10);
        if (end == values[0] || *end || n < 1 || n > kMaxRenderSamples)
            return Usage("tarsk: --spp needs a sample count from 1 to 1000000: %s\n", values[0]);
        options.samples = int(n);
    } else if (!std::strcmp(a, "--size")) {
        const int maxSide = options.mode == TK_RunMode::Thumbnail ? kMaxThumbnailSide : kMaxSnapSide;
        if (!ParseSize(values[0], maxSide, options.width, options.height))
            return Usage(maxSide == kMaxSnapSide ? "tarsk: --size needs WxH with sides from 1 to 8192: %s\n"
                                                 : "tarsk: --size needs sides from 1 to 1024: %s\n",
                         values[0]);
        options.sizeGiven = true;
    } else if (!std::strcmp(a, "--turntable")) {
        char* end = nullptr;
        const long n = std::strtol(values[0], &end, 10);
        if (end == values[0] || *end || n < 1 || n > kMaxTurntableFrames)
            return Usage("tarsk: --turntable needs a frame count from 1 to 3600: %s\n", values[0]);
        options.turntable = int(n);
    } else if (!std::strcmp(a, "--angle")) {
        if (!ParseAngle(values[0], options.pitch) || !ParseAngle(values[1], options.yaw))
            return Usage("tarsk: --angle needs two numbers: %s\n", values[0]);
    } else if (!std::strcmp(a, "-q") || !std::strcmp(a, "--quiet")) {
        options.quiet = true;
    } else if (!std::strcmp(a, "--help")) {
        options.help = true;
    } else if (!std::strcmp(a, "--version")) {
        options.version = true;
    }
    return true;
}

}  // namespace

const char* TK_UsageText() { return kUsage; }

bool TK_ParseOptions(int argc, const char* const* args, TK_Options& options) {
    options = TK_Options();
    if (!FindMode(argc, args, options)) return false;
    const int mode = options.mode == TK_RunMode::Headless ? kHeadless
                     : options.mode == TK_RunMode::Snap   ? kSnap
                     : options.mode == TK_RunMode::Render ? kRender
                     : options.mode == TK_RunMode::Thumbnail ? kThumbnail
                                                          : kWindow;
    for (int i = 0; i < argc; ++i) {
        const char* a = args[i];
        const int values = ValueCount(a);
        if (values < 0) {
            // A single word is the model file where a model is taken.
            const bool positional = a[0] != '-' && mode != kHeadless && options.modelPath.empty();
            if (!positional) return Usage("tarsk: unknown option: %s\n", a);
            options.modelPath = a;
            continue;
        }
        if (!(AllowedModes(a) & mode)) return Usage("tarsk: unknown option: %s\n", a);
        if (i + values >= argc) return Usage("tarsk: option needs a value: %s\n", a);
        if (!ParseOption(a, args + i + 1, options)) return false;
        i += values;
    }
    if (options.turntable > 0 && !options.sizeGiven) options.width = options.height = kTurntableSide;
    if (mode == kThumbnail && options.modelPath.empty() && !options.help && !options.version)
        return Usage("tarsk: %s\n", "--thumbnail needs a model file");
    return true;
}

bool TK_IsBlankOrComment(const std::string& line) {
    const size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos || line[first] == '#';
}

bool TK_RunConsoleLine(TK_EditorEnv& env, const std::string& line) {
    OMB_ExecuteStats stats;
    env.ExecuteText(line.c_str(), &stats);
    std::fflush(stdout);
    return stats.commands > 0 && stats.succeeded == stats.commands;
}

bool TK_RunConsoleLines(TK_EditorEnv& env, const std::vector<std::string>& lines) {
    bool allOk = true;
    for (const std::string& line : lines) {
        if (OS_StopSignal()) return false;
        if (TK_IsBlankOrComment(line)) continue;
        allOk = TK_RunConsoleLine(env, line) && allOk;
    }
    return allOk;
}
