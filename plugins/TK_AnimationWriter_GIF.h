// TK_AnimationWriter_GIF: frames into one looping animated GIF (giflib),
// each frame with its own palette of up to 256 colours (TK_ColorQuantizer)
// and, where pixels are transparent, a transparent entry; every frame
// replaces the whole picture. The file grows in memory and Finish writes
// it atomically.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugins/TK_AnimationWriter.h"

struct GifFileType;

class TK_AnimationWriter_GIF : public TK_AnimationWriter {
public:
    TK_AnimationWriter_GIF(const std::string& path, const Settings& settings);
    ~TK_AnimationWriter_GIF() override;
    bool AddFrame(const Image& frame) override;
    bool Finish() override;

    // giflib's output callback appends here.
    std::vector<uint8_t>& Bytes() { return m_bytes; }

private:
    bool Fail();

    std::string m_path;
    Settings m_settings;
    GifFileType* m_gif = nullptr;  // owned; null after a failure or Finish
    std::vector<uint8_t> m_bytes;
    int m_frames = 0;
};
