// TK_AnimationWriter_WebP: frames into one looping animated WebP file
// (libwebp's animation encoder), lossless for crisp raster frames, lossy at
// high quality for noisy path-traced ones. The encoder keeps the compressed
// frames; Finish assembles the file and writes it atomically.
#pragma once

#include <string>

#include "plugins/TK_AnimationWriter.h"

struct WebPAnimEncoder;

class TK_AnimationWriter_WebP : public TK_AnimationWriter {
public:
    TK_AnimationWriter_WebP(const std::string& path, const Settings& settings);
    ~TK_AnimationWriter_WebP() override;
    bool AddFrame(const Image& frame) override;
    bool Finish() override;

private:
    std::string m_path;
    Settings m_settings;
    WebPAnimEncoder* m_encoder = nullptr;  // owned; null after a failure
    int m_frames = 0;
};
