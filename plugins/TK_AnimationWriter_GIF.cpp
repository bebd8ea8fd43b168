// The animated GIF writer (see TK_AnimationWriter_GIF.h).
#include "plugins/TK_AnimationWriter_GIF.h"

#include <gif_lib.h>

#include <algorithm>

#include "plugins/TK_ColorQuantizer.h"
#include "plugins/TK_ImageFile.h"

namespace {

int AppendBytes(GifFileType* gif, const GifByteType* data, int length) {
    auto* writer = static_cast<TK_AnimationWriter_GIF*>(gif->UserData);
    writer->Bytes().insert(writer->Bytes().end(), data, data + length);
    return length;
}

// The application extension that makes viewers loop forever.
bool PutLoop(GifFileType* gif) {
    const GifByteType loop[3] = {1, 0, 0};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK && EGifPutExtensionBlock(gif, 3, loop) == GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool PutControl(GifFileType* gif, int frameMs, int transparent) {
    GraphicsControlBlock control;
    // Each frame covers the whole picture; clearing it first keeps the
    // previous frame from showing through transparent pixels.
    control.DisposalMode = DISPOSE_BACKGROUND;
    control.UserInputFlag = false;
    // Viewers slow down delays below 2 hundredths to 10.
    control.DelayTime = std::max(2, (frameMs + 5) / 10);
    control.TransparentColor = transparent >= 0 ? transparent : NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) == GIF_OK;
}

// The frame's palette, padded to the power of two GIF needs.
ColorMapObject* MakeColorMap(const TK_QuantizedImage& q) {
    int size = 2;
    while (size < q.Colors()) size *= 2;
    GifColorType colors[256] = {};
    for (int i = 0; i < q.Colors(); ++i)
        colors[i] = GifColorType{q.palette[size_t(i) * 3], q.palette[size_t(i) * 3 + 1], q.palette[size_t(i) * 3 + 2]};
    return GifMakeMapObject(size, colors);
}

}  // namespace

TK_AnimationWriter_GIF::TK_AnimationWriter_GIF(const std::string& path, const Settings& settings)
    : m_path(path), m_settings(settings) {
    if (settings.width < 1 || settings.height < 1 || settings.width > 65535 || settings.height > 65535) return;
    int error = 0;
    m_gif = EGifOpen(this, &AppendBytes, &error);
    if (!m_gif) return;
    EGifSetGifVersion(m_gif, true);
    if (EGifPutScreenDesc(m_gif, settings.width, settings.height, 8, 0, nullptr) != GIF_OK || !PutLoop(m_gif)) Fail();
}

TK_AnimationWriter_GIF::~TK_AnimationWriter_GIF() { Fail(); }

bool TK_AnimationWriter_GIF::Fail() {
    if (m_gif) EGifCloseFile(m_gif, nullptr);
    m_gif = nullptr;
    return false;
}

bool TK_AnimationWriter_GIF::AddFrame(const Image& frame) {
    if (!m_gif || frame.width != m_settings.width || frame.height != m_settings.height) return false;
    TK_QuantizedImage q;
    if (!TK_QuantizeImage(frame, 256, q)) return Fail();
    ColorMapObject* map = MakeColorMap(q);
    const bool ok = map && PutControl(m_gif, m_settings.frameMs, q.transparent) &&
                    EGifPutImageDesc(m_gif, 0, 0, frame.width, frame.height, false, map) == GIF_OK &&
                    EGifPutLine(m_gif, q.indices.data(), int(q.indices.size())) == GIF_OK;
    GifFreeMapObject(map);
    if (!ok) return Fail();
    ++m_frames;
    return true;
}

bool TK_AnimationWriter_GIF::Finish() {
    if (!m_gif || m_frames == 0) return Fail();
    const bool closed = EGifCloseFile(m_gif, nullptr) == GIF_OK;
    m_gif = nullptr;
    return closed && TK_WriteFileBytes(m_path, m_bytes);
}
