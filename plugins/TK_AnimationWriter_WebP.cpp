// The animated WebP writer (see TK_AnimationWriter_WebP.h).
#include "plugins/TK_AnimationWriter_WebP.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include "plugins/TK_ImageFile.h"

namespace {

// Turntables are written while the user waits: the fastest lossless effort
// is already within a few percent of the slow ones on flat-shaded frames.
bool MakeConfig(bool lossless, WebPConfig& config) {
    if (!WebPConfigInit(&config)) return false;
    if (lossless) return WebPConfigLosslessPreset(&config, 0) && WebPValidateConfig(&config);
    config.quality = 90;
    config.method = 2;
    return WebPValidateConfig(&config);
}

}  // namespace

TK_AnimationWriter_WebP::TK_AnimationWriter_WebP(const std::string& path, const Settings& settings)
    : m_path(path), m_settings(settings) {
    WebPAnimEncoderOptions options;
    // The encoder refuses sizes WebP cannot hold (above 16383 a side).
    if (!WebPAnimEncoderOptionsInit(&options)) return;
    options.anim_params.loop_count = 0;  // forever
    // Every frame of a turntable changes almost everywhere: searching for
    // sub-rectangles and mixed modes costs time and gains next to nothing.
    options.minimize_size = 0;
    options.allow_mixed = 0;
    m_encoder = WebPAnimEncoderNew(settings.width, settings.height, &options);
}

TK_AnimationWriter_WebP::~TK_AnimationWriter_WebP() {
    if (m_encoder) WebPAnimEncoderDelete(m_encoder);
}

bool TK_AnimationWriter_WebP::AddFrame(const Image& frame) {
    WebPConfig config;
    if (!m_encoder || frame.format != IMAGE_RGBA || frame.width != m_settings.width ||
        frame.height != m_settings.height || !MakeConfig(m_settings.lossless, config))
        return false;
    WebPPicture picture;
    if (!WebPPictureInit(&picture)) return false;
    picture.use_argb = 1;
    picture.width = frame.width;
    picture.height = frame.height;
    const bool ok = WebPPictureImportRGBA(&picture, frame.pixels.data(), frame.width * 4) &&
                    WebPAnimEncoderAdd(m_encoder, &picture, m_frames * m_settings.frameMs, &config);
    WebPPictureFree(&picture);
    if (!ok) {
        WebPAnimEncoderDelete(m_encoder);
        m_encoder = nullptr;
        return false;
    }
    ++m_frames;
    return true;
}

bool TK_AnimationWriter_WebP::Finish() {
    if (!m_encoder || m_frames == 0) return false;
    // The end time gives the last frame its duration.
    WebPData data;
    WebPDataInit(&data);
    const bool ok = WebPAnimEncoderAdd(m_encoder, nullptr, m_frames * m_settings.frameMs, nullptr) &&
                    WebPAnimEncoderAssemble(m_encoder, &data) && TK_WriteFileBytes(m_path, data.bytes, data.size);
    WebPDataClear(&data);
    return ok;
}
