// Test support for the picture writers: animated WebP and GIF files read
// back with their own libraries, every frame composed to RGBA. Header-only;
// a test binary that includes it links libwebpdemux and giflib.
#pragma once

#include <gif_lib.h>
#include <webp/demux.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tk_test {

struct Animation {
    int width = 0, height = 0;
    int loopCount = -1;                         // 0: forever
    std::vector<std::vector<uint8_t>> frames;   // RGBA, rows top first
    std::vector<int> delaysMs;
};

inline bool ReadWebP(const std::string& path, Animation& out) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    const WebPData data{bytes.data(), bytes.size()};
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    WebPAnimInfo info = {};
    const bool ok = decoder && WebPAnimDecoderGetInfo(decoder, &info);
    out.width = int(info.canvas_width), out.height = int(info.canvas_height), out.loopCount = int(info.loop_count);
    uint8_t* pixels = nullptr;
    int time = 0, last = 0;
    while (ok && WebPAnimDecoderGetNext(decoder, &pixels, &time)) {
        out.frames.emplace_back(pixels, pixels + size_t(out.width) * size_t(out.height) * 4);
        out.delaysMs.push_back(time - last);
        last = time;
    }
    if (decoder) WebPAnimDecoderDelete(decoder);
    return ok && !out.frames.empty();
}

// Frames replace the whole picture in our files: no disposal to replay.
inline bool ReadGIF(const std::string& path, Animation& out) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return false;
    const bool ok = DGifSlurp(gif) == GIF_OK;
    out.width = gif->SWidth, out.height = gif->SHeight;
    for (int i = 0; ok && i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        GraphicsControlBlock control;
        DGifSavedExtensionToGCB(gif, i, &control);
        out.delaysMs.push_back(control.DelayTime * 10);
        std::vector<uint8_t> rgba;
        for (int p = 0; map && p < image.ImageDesc.Width * image.ImageDesc.Height; ++p) {
            const int k = image.RasterBits[p];
            const GifColorType c = map->Colors[k];
            rgba.insert(rgba.end(), {c.Red, c.Green, c.Blue, uint8_t(k == control.TransparentColor ? 0 : 255)});
        }
        out.frames.push_back(rgba);
        for (int e = 0; e < image.ExtensionBlockCount; ++e)
            if (image.ExtensionBlocks[e].Function == CONTINUE_EXT_FUNC_CODE && image.ExtensionBlocks[e].ByteCount >= 3)
                out.loopCount = image.ExtensionBlocks[e].Bytes[1] | image.ExtensionBlocks[e].Bytes[2] << 8;
    }
    DGifCloseFile(gif, &error);
    return ok && !out.frames.empty();
}

// By the file's signature, whatever its name.
inline bool ReadAnimation(const std::string& path, Animation& out) {
    out = Animation();
    char magic[4] = {};
    std::ifstream(path, std::ios::binary).read(magic, 4);
    return std::string(magic, 4) == "GIF8" ? ReadGIF(path, out) : ReadWebP(path, out);
}

}  // namespace tk_test
