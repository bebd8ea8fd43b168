// Animation writers: the frames of a turntable (or any sequence of RGBA
// pictures of one size) into an animated WebP, an animated GIF or a numbered
// series of PNG files. The kind follows the output name: a name with a
// frame-number pattern ("%d", or with a width as in "%03d") is a PNG series,
// else the extension picks the kind. The table of kinds is in
// TK_AnimationWriter.cpp; app/ drives the frames.
//
// The rule they keep: nothing half-made is left behind. The WebP and GIF
// files are written whole through a temporary file by Finish; a series
// writes each frame through its own temporary file.
#pragma once

#include <memory>
#include <string>

#include "model/Image.h"

class TK_AnimationWriter {
public:
    struct Settings {
        int width = 0, height = 0;
        int frameMs = 100;     // how long each frame shows
        bool lossless = true;  // WebP: lossless, else lossy at high quality
    };

    virtual ~TK_AnimationWriter() = default;
    // One more frame of the settings' size, RGBA; false after an encoder
    // or write failure (then nothing more is written).
    virtual bool AddFrame(const Image& frame) = 0;
    // Writes the animation (it loops forever); false when that fails.
    virtual bool Finish() = 0;

    // The writer for `path`, or null after writing why into `error` (an
    // unknown extension, or a bad frame-number pattern).
    static std::unique_ptr<TK_AnimationWriter> Create(const std::string& path, const Settings& settings,
                                                      std::string& error);
    // True when `path` names an animation: a .webp or .gif file, or a
    // frame-number pattern (valid or not: Create says what is wrong).
    static bool IsAnimationPath(const std::string& path);
};

// True when `path` holds exactly one frame-number pattern ("%d", or "%0Nd"
// with N from 1 to 9) and no other '%'. `hasPattern` tells whether a '%'
// occurs at all.
bool TK_IsFramePattern(const std::string& path, bool* hasPattern = nullptr);
// The pattern with the frame number put in (precondition: a valid pattern).
std::string TK_FramePath(const std::string& pattern, int frame);
// The lower-case extension of the file name, without the dot ("" if none).
std::string TK_LowerExtension(const std::string& path);
