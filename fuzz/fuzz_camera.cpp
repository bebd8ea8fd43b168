// libFuzzer target for camera files: any bytes are loaded into a camera. No
// value of the file may make the radius leave [1, 1e6], the frustum leave
// [0.001, 1e6] (zero is an infinite projection, a negative one a mirrored
// view) or any field a NaN or an infinity, not even after a wild pan; and a
// camera that loaded must save a text that loads back in the same mode.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/OMB_Log.h"
#include "render/Camera.h"

namespace {

bool Sane(const Camera& c) {
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(c.eye[i]) || !std::isfinite(c.focus[i]) || !std::isfinite(c.angle[i])) return false;
    return c.radius >= 1.0f && c.radius <= 1e6f && c.frustumY >= 0.001f && c.frustumY <= 1e6f &&
           std::isfinite(c.frustumX);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    std::string text(reinterpret_cast<const char*>(data), size);
    Camera camera;
    camera.SetRadius(5);  // a camera in use; a fresh one has radius 0
    if (!camera.LoadText(text.c_str())) return 0;
    if (!Sane(camera)) std::abort();
    Camera again;
    if (!again.LoadText(camera.SaveText().c_str()) || again.mode != camera.mode || !Sane(again)) std::abort();
    camera.Pan(1e30f, -1e30f, 1e30f);
    if (!Sane(camera)) std::abort();
    return 0;
}
