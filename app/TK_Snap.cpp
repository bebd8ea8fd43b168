// Offscreen pictures and turntables (see TK_Snap.h). The frame loop stays
// plain: one picture per pass, written as soon as it is made; a single
// picture is a loop of one frame.
#include "app/TK_Snap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/MS_WindowGL.h"
#include "app/TK_ModelViewer.h"
#include "core/OMB_Cause.h"
#include "core/OMB_Log.h"
#include "core/OS_Signals.h"
#include "core/OS_Stopwatch.h"
#include "model/TK_EditorEnv.h"
#include "plugins/TK_AnimationWriter.h"
#include "plugins/TK_ExrFile.h"
#include "render/TK_Snapshot.h"

namespace {

enum class Output { Png, Exr, ExrSeries, Animation };

// A whole turn takes this long, whatever the frame count.
constexpr int kTurnMs = 3600;
constexpr int kMinFrameMs = 20;
// Share of the view's half-width or half-height the turning model may fill.
constexpr float kTurnFill = 0.85f;

const char* ModeName(const TK_Options& options) { return options.mode == TK_RunMode::Render ? "render" : "snap"; }

// What OUT asks for, checked before anything starts; false after printing
// why. An animation's own checks are the writer's.
bool ChooseOutput(const TK_Options& options, Output& output) {
    // A thumbnail is a PNG whatever name the desktop hands over.
    if (options.mode == TK_RunMode::Thumbnail) {
        output = Output::Png;
        return true;
    }
    const std::string& path = options.snapPath;
    const std::string ext = TK_LowerExtension(path);
    const bool render = options.mode == TK_RunMode::Render;
    bool hasPattern = false;
    const bool pattern = TK_IsFramePattern(path, &hasPattern);
    if (ext == "exr" && !render) {
        OMB_Printf("[Error] snap : .exr holds the path tracer's linear radiance; use --render : %s\n", path.c_str());
        return false;
    }
    if (ext == "exr" && (hasPattern || options.turntable > 0) && !pattern) {
        OMB_Printf("[Error] render : frames to OpenEXR need one frame number (%%d or %%03d) in the file name : %s\n",
                   path.c_str());
        return false;
    }
    if (ext == "exr") {
        output = pattern ? Output::ExrSeries : Output::Exr;
    } else if (options.turntable > 0 || TK_AnimationWriter::IsAnimationPath(path)) {
        output = Output::Animation;
    } else if (ext == "png") {
        output = Output::Png;
    } else {
        OMB_Printf("[Error] %s : unknown picture type (use .png, %s.webp, .gif or a %%d pattern of .png) : %s\n",
                   ModeName(options), render ? ".exr, " : "", path.c_str());
        return false;
    }
    return true;
}

std::unique_ptr<TK_AnimationWriter> MakeWriter(const TK_Options& options) {
    TK_AnimationWriter::Settings settings;
    settings.width = options.width;
    settings.height = options.height;
    settings.frameMs = std::max(kMinFrameMs, (kTurnMs + options.turntable / 2) / std::max(options.turntable, 1));
    // Path-traced frames carry noise that lossless coding would keep at
    // great cost; raster frames are flat and stay crisp.
    settings.lossless = options.mode != TK_RunMode::Render;
    std::string error;
    std::unique_ptr<TK_AnimationWriter> writer = TK_AnimationWriter::Create(options.snapPath, settings, error);
    if (!writer) OMB_Printf("[Error] %s : %s\n", ModeName(options), error.c_str());
    return writer;
}

bool WriteFailed(const TK_Options& options) {
    OMB_Printf("[Error] %s : failed to write %s%s\n", ModeName(options), options.snapPath.c_str(),
               OMB_TakeCause().c_str());
    return false;
}

// Renders the raster view into `image`; false after printing why.
bool RasterFrame(MS_WindowGL& window, TK_ModelViewer& viewer, const TK_Options& options, Image& image) {
    int width = 0, height = 0;
    window.DrawableSize(width, height);
    if (width != options.width || height != options.height) {
        OMB_Printf("[Error] snap : framebuffer is %dx%d, not %dx%d\n", width, height, options.width, options.height);
        return false;
    }
    viewer.Draw(width, height);
    OMB_Rect rect;
    rect.x1 = width - 1;
    rect.y1 = height - 1;
    return TK_ReadPixels(rect, true, image) || WriteFailed(options);
}

// One line on standard error, rewritten in place; `frame` is empty outside
// turntables.
void PrintProgress(const std::string& frame, int done, int total, double seconds) {
    const double rate = seconds > 0 ? done / seconds : 0;
    const double left = rate > 0 ? (total - done) / rate : 0;
    std::fprintf(stderr, "\rrender : %s%d/%d samples, %.2f samples/s, %.0f s left   ", frame.c_str(), done, total, rate,
                 left);
    std::fflush(stderr);
}

// The tracer set up for the pictures; false after printing why.
bool PrepareTracer(TK_ModelViewer& viewer, const TK_Options& options) {
    TK_SceneRenderer_PT& tracer = viewer.Tracer();
    if (!tracer.CanDraw()) {
        OMB_Printf("[Error] render : the path tracer needs framebuffer objects, GLSL, 3D and float textures\n");
        return false;
    }
    TK_Settings& settings = viewer.Env().settings;
    settings.ptImage[0] = options.width;
    settings.ptImage[1] = options.height;
    tracer.SetTargetOverride(options.samples);
    tracer.SetRestartDelay(0);
    return true;
}

// Accumulates the samples of the current view; false after printing why.
bool TraceFrame(TK_ModelViewer& viewer, const TK_Options& options, const std::string& frame) {
    TK_SceneRenderer_PT& tracer = viewer.Tracer();
    viewer.FrameCamera(options.width, options.height);
    tracer.SyncView(viewer.View());
    const double start = OS_Seconds();
    double shown = -1;
    // A stop signal ends the accumulation between bands: the picture keeps
    // the complete samples, only noisier.
    while (!tracer.IsComplete(options.samples) && !OS_StopSignal()) {
        const int done = tracer.Samples();
        if (!tracer.SamplePass()) {
            OMB_Printf("[Error] render : sample %d failed\n", done + 1);
            return false;
        }
        if (tracer.Samples() == done) continue;  // a band of the sample
        glFinish();
        const double now = OS_Seconds();
        if (!options.quiet && (now - shown >= 0.25 || done + 1 == options.samples)) {
            PrintProgress(frame, done + 1, options.samples, now - start);
            shown = now;
        }
    }
    // Stopped by a signal, the picture keeps its complete samples (the stop
    // report says so once it is written).
    if (!options.quiet && frame.empty()) std::fputc('\n', stderr);
    return tracer.Samples() > 0;
}

// A turntable's frame cut short by a signal is left out: every frame written
// is whole.
bool CutShort(const TK_Options& options) { return options.turntable > 0 && OS_StopSignal(); }

// The current view as a picture: raster, or traced and tone-mapped.
bool MakeFrame(MS_WindowGL& window, TK_ModelViewer& viewer, const TK_Options& options, const std::string& frame,
               Image& image) {
    if (options.mode != TK_RunMode::Render) return RasterFrame(window, viewer, options, image);
    return TraceFrame(viewer, options, frame) && viewer.Tracer().ReadImage(image, true);
}

// One frame to its place: the animation, an OpenEXR file (frame `index` of
// a series), or the PNG.
bool WriteFrame(MS_WindowGL& window, TK_ModelViewer& viewer, const TK_Options& options, Output output,
                TK_AnimationWriter* writer, int index, const std::string& label) {
    OMB_ClearCause();
    if (output == Output::Exr || output == Output::ExrSeries) {
        std::vector<float> linear;
        if (!TraceFrame(viewer, options, label) || CutShort(options)) return false;
        const std::string path = output == Output::ExrSeries ? TK_FramePath(options.snapPath, index) : options.snapPath;
        return (viewer.Tracer().ReadRadiance(linear) && TK_SaveEXR(linear, options.width, options.height, path)) ||
               WriteFailed(options);
    }
    Image image;
    if (!MakeFrame(window, viewer, options, label, image) || CutShort(options)) return false;
    return (writer ? writer->AddFrame(image) : TK_SavePNG(image, options.snapPath)) || WriteFailed(options);
}

// The camera's yaw at frame `index` of `frames`, from the fitted yaw.
float TurnYaw(float yaw, int index, int frames) { return yaw - 360.0f * float(index) / float(frames); }

// The cells the model's voxels span, lo inclusive and hi exclusive; the
// whole box when it has none.
void VoxelBounds(const TK_Model& model, float lo[3], float hi[3]) {
    for (int a = 0; a < 3; ++a) lo[a] = 0, hi[a] = float(model.size[a]);
    if (model.voxels.Empty()) return;
    for (int a = 0; a < 3; ++a) lo[a] = 1e9f, hi[a] = -1e9f;
    for (const Voxel& v : model.voxels) {
        const float cell[3] = {float(v.x), float(v.y), float(v.z)};
        for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], cell[a]), hi[a] = std::max(hi[a], cell[a] + 1);
    }
}

// Turns about the middle of the voxels and brings the camera as close as
// every frame of the turn allows: each corner of the voxels' bounds stays
// inside the view at each frame's yaw. The bounding sphere of the first fit
// leaves long or flat models small in the picture, and the box a small model
// in a large box; one distance for all frames keeps the model from jumping.
void FitTurn(Camera& camera, const TK_Model& model, int frames) {
    float lo[3], hi[3], middle[3], focus[3];
    VoxelBounds(model, lo, hi);
    for (int a = 0; a < 3; ++a) middle[a] = 0.5f * (lo[a] + hi[a]);
    TK_ModelToWorld(middle, focus);
    camera.SetFocus(focus);
    const float pitch = camera.angle[0], yaw = camera.angle[1];
    float radius = 1;
    for (int i = 0; i < frames; ++i) {
        camera.SetAngle(pitch, TurnYaw(yaw, i, frames), 0);
        for (int corner = 0; corner < 8; ++corner) {
            const float cell[3] = {corner & 1 ? hi[0] : lo[0], corner & 2 ? hi[1] : lo[1], corner & 4 ? hi[2] : lo[2]};
            float world[3], c[3];
            TK_ModelToWorld(cell, world);
            for (int k = 0; k < 3; ++k) c[k] = world[k] - camera.focus[k];
            auto along = [&c](const float* axis) { return c[0] * axis[0] + c[1] * axis[1] + c[2] * axis[2]; };
            // The corner is at depth radius - z in front of the eye: at least
            // one cell, and far enough for the frustum's slope.
            const float z = along(camera.Back());
            radius = std::max({radius, z + 1.0f, z + std::fabs(along(camera.Right())) / (camera.frustumX * kTurnFill),
                               z + std::fabs(along(camera.Up())) / (camera.frustumY * kTurnFill)});
        }
    }
    camera.SetAngle(pitch, yaw, 0);
    camera.SetRadius(radius);
}

// What a stop leaves, on standard error: the frames or samples written, or
// that nothing was. `frames` counts the pictures in place.
std::string StopReport(const TK_Options& options, int frames, int samples) {
    const std::string mode = ModeName(options), out = options.snapPath;
    if (frames == 0) return mode + " : stopped; nothing was written to " + out + "\n";
    if (options.turntable > 0)
        return mode + " : stopped; wrote " + std::to_string(frames) + " of " + std::to_string(options.turntable) +
               " frames to " + out + "\n";
    if (options.mode != TK_RunMode::Render || samples >= options.samples) return std::string();
    return "render : stopped after " + std::to_string(samples) + " of " + std::to_string(options.samples) +
           " samples; " + out + " holds " + std::to_string(samples) + " samples\n";
}

// One picture, or a turntable: N frames with the yaw in equal steps over one
// turn from the fitted view. `written` counts the pictures in place (an
// animation's frames once it is finished).
bool WriteFrames(MS_WindowGL& window, TK_ModelViewer& viewer, const TK_Options& options, Output output,
                 TK_AnimationWriter* writer, int& written) {
    Camera& camera = viewer.View();
    const float pitch = camera.angle[0], yaw = camera.angle[1];
    const int frames = options.turntable;
    const bool render = options.mode == TK_RunMode::Render;
    int done = 0;
    if (frames > 0 && camera.mode == Camera::kPerspective) FitTurn(camera, viewer.Env().model, frames);
    for (int i = 0; i < std::max(frames, 1); ++i) {
        std::string label;
        if (frames > 0) {
            camera.SetAngle(pitch, TurnYaw(yaw, i, frames), 0);
            label = "frame " + std::to_string(i + 1) + "/" + std::to_string(frames) + ", ";
        }
        if (!WriteFrame(window, viewer, options, output, writer, i, label)) {
            if (!OS_StopSignal()) return false;
            break;
        }
        ++done;
        // Should the deadline end the process now, a series keeps these.
        if (!writer || TK_IsFramePattern(options.snapPath)) {
            written = done;
            OS_SetStopNotice(StopReport(options, written, viewer.Tracer().Samples()));
        }
        if (!options.quiet && !render && frames > 0) std::fprintf(stderr, "\rsnap : frame %d/%d   ", i + 1, frames);
        if (OS_StopSignal()) break;  // a turntable stopped by a signal keeps its frames so far
    }
    if (!options.quiet && frames > 0) std::fputc('\n', stderr);
    OMB_ClearCause();
    if (writer && done > 0 && !writer->Finish()) return WriteFailed(options);
    written = done;
    return done > 0;
}

}  // namespace

int TK_RunSnap(const TK_Options& options) {
    OMB_SetLogMode(options.quiet ? OMB_LogMode::ProblemsOnly : OMB_LogMode::All);
    Output output = Output::Png;
    if (!ChooseOutput(options, output)) return 2;
    std::unique_ptr<TK_AnimationWriter> writer;
    if (output == Output::Animation && !(writer = MakeWriter(options))) return 2;
    TK_ModelViewer viewer(options);
    bool written = false;
    int pictures = 0, samples = 0;
    // A picture still being written when the deadline ends the process is lost.
    OS_SetStopNotice(StopReport(options, 0, 0));
    {
        MS_WindowGL window;
        MS_WindowConfig config;
        config.width = options.width;
        config.height = options.height;
        config.minWidth = config.minHeight = 1;
        config.hidden = true;
        config.offscreen = true;
        // Software rendering triples its frame time with 4x multisampling
        // and takes a quarter of a second longer to make the context; a
        // snapshot is one frame and must come quickly.
        config.multisample = false;
        const bool render = options.mode == TK_RunMode::Render;
        if (window.Open(config)) {
            viewer.Start(options.width, options.height);
            // A thumbnail of a file that did not load would mislead: none at all.
            const bool wanted = viewer.StartedCleanly() || options.mode != TK_RunMode::Thumbnail;
            if (wanted && (!render || PrepareTracer(viewer, options)) && !OS_StopSignal()) {
                written = WriteFrames(window, viewer, options, output, writer.get(), pictures);
                samples = viewer.Tracer().Samples();
            }
            // The GPU objects go while the context is still current.
            viewer.Shutdown();
        }
    }
    OS_SetStopNotice(std::string());
    std::fflush(stdout);
    if (OS_StopSignal()) {
        std::fputs(StopReport(options, pictures, samples).c_str(), stderr);
        return OS_StopStatus();
    }
    return written && viewer.StartedCleanly() ? 0 : 1;
}
