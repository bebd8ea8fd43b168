// Test support shared by every test folder: small models built directly,
// models in forms that compare, and a fresh temporary folder per test. Header-only, so a test binary links only
// what it uses.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "model/TK_Model.h"

namespace tk_test {

// Time limits a test checks grow by this much in the sanitizer build, whose
// programs run a few times slower; the plain build checks the promise itself.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kSlowBuild = 2.0;
#else
constexpr double kSlowBuild = 1.0;
#endif

// A box of the given size holding `voxels`, in the default palette.
inline TK_Model MakeModel(int sx, int sy, int sz, std::initializer_list<Voxel> voxels = {}) {
    TK_Model m;
    m.size[0] = sx, m.size[1] = sy, m.size[2] = sz;
    m.palette = DefaultPalette();
    for (const Voxel& v : voxels) m.voxels.Add(v);
    return m;
}

// A box whose cell (x, y, z) holds colourAt(x, y, z) (0: empty), z outermost.
template <typename ColourAt>
TK_Model ShapeModel(int sx, int sy, int sz, ColourAt colourAt) {
    TK_Model m = MakeModel(sx, sy, sz);
    for (int z = 0; z < sz; ++z)
        for (int y = 0; y < sy; ++y)
            for (int x = 0; x < sx; ++x)
                if (const int c = colourAt(x, y, z)) m.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(c)});
    return m;
}

// How many voxels hold colour `index`.
inline int CountColor(const TK_Model& model, int index) {
    int n = 0;
    for (const Voxel& v : model.voxels) n += v.colorIndex == index;
    return n;
}

// The voxel words in ascending order, to compare unordered lists.
inline std::vector<uint32_t> SortedWords(const VoxelList& voxels) {
    std::vector<uint32_t> words;
    words.reserve(size_t(voxels.Count()));
    for (const Voxel& v : voxels) words.push_back(v.Word());
    std::sort(words.begin(), words.end());
    return words;
}

// Size, voxels (as a set) and palette of a model, for round-trip checks.
struct ModelState {
    int size[3] = {0, 0, 0};
    std::vector<uint32_t> voxels;
    Palette palette;

    static ModelState Of(const TK_Model& model) {
        return {{model.size[0], model.size[1], model.size[2]}, SortedWords(model.voxels), model.palette};
    }
    bool operator==(const ModelState& o) const {
        return std::equal(size, size + 3, o.size) && voxels == o.voxels && palette == o.palette;
    }
};

// A folder of its own under the system's temporary folder (the tag and the
// process id name it), created empty and removed with everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::string& tag)
        : m_dir(std::filesystem::temp_directory_path() / (tag + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::remove_all(m_dir, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Dir() const { return m_dir; }
    // Spelt with "/" like every path the program makes (Windows too).
    std::string Path(const std::string& name) const { return (m_dir / name).generic_u8string(); }

private:
    std::filesystem::path m_dir;
};

}  // namespace tk_test
