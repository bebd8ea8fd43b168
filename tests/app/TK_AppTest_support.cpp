// Child-process and PNG helpers of the app tests (see TK_AppTest.h).
#include "TK_AppTest.h"

#include <png.h>
#include <sys/wait.h>

#include <cstdio>

namespace {
std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
}  // namespace

TK_ProcessResult RunTarsk(const std::vector<std::string>& args) {
    std::string cmd = std::string(TK_BUILD_DIR) + "/tarsk";
    for (const std::string& a : args) cmd += " " + Quote(a);
    cmd += " 2>/dev/null";
    TK_ProcessResult r;
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool ReadTestPNG(const std::string& path, TK_TestImage& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    out.hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGBA;
    out.width = int(image.width);
    out.height = int(image.height);
    out.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    return png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr) != 0;
}
