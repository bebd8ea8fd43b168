// TK_SceneRenderer_PT: the progressive path tracer. Each sample pass adds
// one full-image path-traced sample of the model (the programs of
// render/shaders/pt_trace.glsl) to a floating-point accumulation texture by
// additive blending; the display pass shows the running average, exposed,
// vignetted and gamma-corrected, faded in over the previous picture for a
// quarter of a second after its first sample (a time, not a sample count: a
// processor without a GPU takes seconds a sample, and an old picture must
// not linger for minutes).
//
// While the camera moves (with the moving preview on, in the editor) every
// frame traces one whole sample at half the width and half the height, into
// the accumulation's lower-left quarter, shown enlarged; once the camera has
// rested for the restart delay the picture starts again at full size,
// fading in over the last preview.
//
// Accumulation restarts (sample count 0, seeds 17, 59, 103, 157) when the
// camera or the image size change (and then the first sample waits 0.2 s, so
// a dragged camera stays responsive), when the masked display flags change,
// and when a setting of the picture changes (Restart). It stops at the
// sample target.
//
// A sample is traced in bands of rows over several passes, so that no pass
// takes much longer than the frame budget at any image size or bounce count;
// the band height follows the time the last band took. A sample counts when
// its last band is done. Every band of a sample draws the same random
// numbers and covers its pixels exactly as the whole image would, so the
// picture is the same band by band as in one pass. The accumulation's alpha
// counts the samples of each pixel, and every read divides by it.
//
// The renderer reads the path-tracer settings, the material records, the
// palette and the model from the environment; it never writes them.
//
// Rules: every GL call needs the context current, and nothing draws without
// framebuffer objects, GLSL, 3D textures and float textures together.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/OS_Stopwatch.h"
#include "model/Image.h"
#include "render/Camera.h"
#include "render/GLObjects.h"
#include "render/TK_SceneRenderer.h"

class TK_EditorEnv;

// The progress line of a picture: "38 / 512 samples, 41 s, about 9 min
// left"; the time left only while samples remain and a pace is known
// (`left` not negative).
std::string TK_TraceProgress(int samples, int target, double seconds, double left);

class TK_SceneRenderer_PT {
public:
    static constexpr int kFirstSeeds[4] = {17, 59, 103, 157};
    static constexpr double kFadeSeconds = 0.25;  // a new picture's fade-in over the previous one
    static constexpr double kFrameBudget = 0.04;  // seconds a sample pass may take by default

    // The display program's uniforms for the current state.
    struct DisplayUniforms {
        float weight, invNumSamples, expo, gamma, vig;
    };

    TK_SceneRenderer_PT();
    ~TK_SceneRenderer_PT();
    TK_SceneRenderer_PT(const TK_SceneRenderer_PT&) = delete;
    TK_SceneRenderer_PT& operator=(const TK_SceneRenderer_PT&) = delete;

    // The four capabilities the tracer needs.
    static bool HasCapabilities();
    // The capabilities are there and the programs built.
    bool CanDraw() const;
    // Creates the textures and builds the programs. False when a capability
    // is missing or a program does not build; the tracer then draws nothing.
    bool Init(TK_EditorEnv& env);
    void Shutdown();
    // Builds every program for the current shape and jitter setting.
    bool RebuildPrograms();
    // The model or the materials changed: uploaded before the next sample,
    // which starts a new picture.
    void UpdateVolume();
    void UpdateMaterials();
    // Keeps flags & 0x33; a change restarts (not the stopwatch).
    void SetFlags(int flags);
    int Flags() const { return m_flags; }
    // Sample count 0, the seeds reset and the stopwatch from zero: the
    // elapsed time is the current picture's.
    void Restart();
    // Compares the camera and the image size with the accumulation's; on a
    // difference above 1e-6 copies them and restarts with the stopwatch.
    // True when it restarted.
    bool SyncView(const Camera& camera);
    // Traces the next band of the sample in progress when the tracer can
    // draw, the target is not reached and the wait after a restart is over.
    // True when it traced; Samples() grows when a sample's last band is done.
    bool SamplePass();
    // Draws the tone-mapped picture into `rect` of the current framebuffer.
    void Display(const OMB_Rect& rect);
    DisplayUniforms DisplayParameters() const;
    // Distance, palette index, ground hit and voxel hit of the ray through
    // pixel (x, y) of the image (origin bottom-left); zeros without the
    // capabilities or outside the image.
    void DepthQuery(int x, int y, float out[4]);
    // The tone-mapped picture, rows top first. False when nothing can draw.
    bool ReadImage(Image& out, bool alpha);
    // The accumulated linear radiance before exposure, vignette and gamma:
    // RGBA floats (alpha 1), rows top first, each pixel the average of its
    // samples. False when nothing can draw or no sample is done yet.
    bool ReadRadiance(std::vector<float>& rgba);

    // Whole samples in the accumulation (a sample in progress not counted).
    int Samples() const { return m_samples; }
    // The accumulated picture holds `samples` whole samples (reads of it
    // are then exactly the picture of that many samples).
    bool IsComplete(int samples) const { return m_samples >= samples; }
    // Seconds a sample pass may take (the band height follows it); 0 traces
    // a whole sample in every pass.
    void SetFrameBudget(double seconds) { m_frameBudget = seconds; }
    // The sample target: the override when set, else the "pt_spp" setting.
    int Target() const;
    void SetTargetOverride(int samples) { m_targetOverride = samples; }
    // The wait after a restart (0.2 s in the editor).
    void SetRestartDelay(double seconds) { m_restartDelay = seconds; }
    // The length of the fade-in (kFadeSeconds by default).
    void SetFadeSeconds(double seconds) { m_fadeSeconds = seconds; }
    // Quarter-pixel samples while the camera moves (off by default: batch
    // pictures trace every sample whole).
    void SetMovingPreview(bool on) { m_movingPreview = on; }
    // The picture in progress is the moving camera's quarter-pixel one.
    bool IsPreview() const { return m_preview; }
    // The size samples are traced at now (half of each side in a preview).
    int TraceWidth() const { return m_preview ? std::max(1, m_width / 2) : m_width; }
    int TraceHeight() const { return m_preview ? std::max(1, m_height / 2) : m_height; }
    // Seconds until the target at the pace of the samples so far; negative
    // before the first sample.
    double SecondsLeft() const;
    const int* Seeds() const { return m_seeds; }
    double Elapsed() const { return m_stopwatch.Elapsed(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    struct Program {
        GLShader fragment;
        GLProgram program;
    };
    enum ProgramKind { kDepth, kZero, kMain, kMainMaterial, kMainMetal, kProgramCount };

    bool BuildProgram(Program& program, const char* option, const char* variant);
    bool PrepareTargets();
    void UploadVolume();
    void UploadMaterials();
    void FindLights(const bool used[256]);
    const Program& SampleProgram() const;
    void SetCommonUniforms(const GLProgram& program) const;
    void SetLightUniforms(const GLProgram& program) const;
    void SetSampleUniforms(const GLProgram& program);
    void BindSamplers(const GLProgram& program) const;
    void UnbindSamplers() const;
    void DrawQuad(float s0, float t0, float s1, float t1, int firstRow = 0, int rows = 0) const;
    int NextBandRows() const;
    void TraceBand(int rows);
    void SaveLastPicture();
    void DrawDisplay(const DisplayUniforms& u, const GLTexture& last, bool preview = false) const;
    // Leaves the preview: its picture becomes the one the next fades from.
    void EndPreview();
    uint32_t NextRandom();

    TK_EditorEnv* m_env = nullptr;
    int m_flags = 0;
    int m_samples = 0;
    int m_targetOverride = 0;
    int m_seeds[4] = {17, 59, 103, 157};
    int m_sampleSeeds[4] = {17, 59, 103, 157};  // the seeds at the start of the sample in progress
    int m_row = 0;                // the first row of the next band; 0: a new sample starts
    int m_bandRows = 0;           // the last band's height; 0: none measured
    double m_bandSeconds = 0.0;   // and the time it took
    double m_frameBudget = kFrameBudget;
    double m_restartDelay = 0.2;
    double m_fadeSeconds = kFadeSeconds;
    bool m_movingPreview = false;
    bool m_preview = false;
    double m_movedAt = 0.0;        // when the camera last moved
    double m_firstSampleAt = 0.0;  // when the picture's first sample was done
    OS_Stopwatch m_stopwatch;
    Camera m_camera;   // the camera of the current picture
    int m_width = 0, m_height = 0;
    bool m_volumeDirty = true, m_materialsDirty = true;
    bool m_saveLast = false;
    int m_lastSamples = 0;
    bool m_hasLast = false;  // m_last holds a finished picture to fade from
    // Used colours of each kind, for the program variant.
    bool m_hasMetal = false, m_hasMaterial = false;
    // Exposed emissive voxels (x, y, z, colour): one is sampled per pass.
    std::vector<Voxel> m_lights;

    GLShader m_vertex;
    Program m_programs[kProgramCount];
    Program m_display;
    GLFramebuffer m_accumFbo, m_lastFbo, m_depthFbo;
    GLTexture m_accum, m_last, m_depth;
    GLTexture m_palette, m_materials, m_noise, m_volume, m_smooth, m_colors;
    std::vector<uint8_t> m_volumeBytes, m_smoothBytes;
};
