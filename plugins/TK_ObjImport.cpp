// OBJ and MTL parsing and mesh voxelisation (see TK_ObjImport.h).
//
// Sections: text lines and numbers; OBJ statements; MTL statements;
// voxelisation (triangles, ray hits per axis, cell votes and colours).
#include "plugins/TK_ObjImport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "core/OMB_Log.h"

namespace {

// ---- text lines and numbers ------------------------------------------------

// Splits one line (copied, so the number readers see a terminated string)
// into words separated by blanks.
struct Line {
    std::string text;
    std::vector<const char*> words;
    void Split() {
        words.clear();
        char* p = text.data();
        while (*p) {
            while (*p == ' ' || *p == '\t' || *p == '\r') *p++ = 0;
            if (!*p) break;
            words.push_back(p);
            while (*p && *p != ' ' && *p != '\t' && *p != '\r') ++p;
        }
    }
};

template <typename Visit>
void ForEachLine(const char* text, size_t size, Visit visit) {
    Line line;
    int number = 0;
    for (size_t pos = 0; pos < size;) {
        const char* start = text + pos;
        const char* end = static_cast<const char*>(std::memchr(start, '\n', size - pos));
        const size_t length = end ? size_t(end - start) : size - pos;
        pos += length + 1;
        line.text.assign(start, length);
        // A zero byte inside a line ends it: the words are C strings.
        line.text.resize(std::strlen(line.text.c_str()));
        line.Split();
        ++number;
        if (!line.words.empty() && line.words[0][0] != '#' && !visit(line.words, number)) return;
    }
}

bool ReadFloat(const char* word, float& out) {
    char* end = nullptr;
    out = std::strtof(word, &end);
    return end != word && std::isfinite(out);
}

bool Fail(int line, const char* what) {
    OMB_Printf("[Error] OBJ : line %d : %s\n", line, what);
    return false;
}

// ---- OBJ statements --------------------------------------------------------

// "v", "v/t", "v//n" or "v/t/n"; negative numbers count back from the last
// definition. False when a number names nothing defined so far.
bool ReadCorner(const char* word, int positions, int texcoords, int& position, int& texcoord) {
    char* end = nullptr;
    // Compared as long before any narrowing, so an index past 2^32 cannot
    // wrap around onto a vertex that exists.
    const long v = std::strtol(word, &end, 10);
    if (end == word || v == 0 || v > positions || v < -long(positions)) return false;
    position = int(v > 0 ? v - 1 : positions + v);
    texcoord = -1;
    if (*end != '/' || end[1] == '/' || end[1] == 0) return true;
    const char* t = end + 1;
    const long tv = std::strtol(t, &end, 10);
    if (end == t) return true;
    if (tv == 0 || tv > texcoords || tv < -long(texcoords)) return false;
    texcoord = int(tv > 0 ? tv - 1 : texcoords + tv);
    return true;
}

bool AddFace(const std::vector<const char*>& w, int line, int material, TK_ObjMesh& mesh) {
    const int positions = int(mesh.positions.size() / 3), texcoords = int(mesh.texcoords.size() / 2);
    if (w.size() < 4) return Fail(line, "face with fewer than three corners");
    for (size_t i = 1; i < w.size(); ++i) {
        int p = 0, t = 0;
        if (!ReadCorner(w[i], positions, texcoords, p, t)) return Fail(line, "face corner names no vertex");
        mesh.cornerPosition.push_back(p);
        mesh.cornerTexcoord.push_back(t);
    }
    mesh.faceStart.push_back(int(mesh.cornerPosition.size()));
    mesh.faceMaterial.push_back(material);
    return true;
}

bool AddNumbers(const std::vector<const char*>& w, int line, size_t count, std::vector<float>& out) {
    if (w.size() < count + 1) return Fail(line, "too few numbers");
    for (size_t i = 1; i <= count; ++i) {
        float f = 0;
        if (!ReadFloat(w[i], f)) return Fail(line, "unreadable number");
        out.push_back(f);
    }
    return true;
}

// "vt u [v [w]]": v defaults to 0, w is not kept.
bool AddTexcoord(const std::vector<const char*>& w, int line, std::vector<float>& out) {
    if (!AddNumbers(w, line, 1, out)) return false;
    float v = 0;
    if (w.size() > 2 && !ReadFloat(w[2], v)) return Fail(line, "unreadable number");
    out.push_back(v);
    return true;
}

// Looked up by hash: a file may name as many materials as it has lines.
int MaterialIndex(TK_ObjMesh& mesh, std::unordered_map<std::string, int>& known, const std::string& name) {
    auto [it, added] = known.emplace(name, int(mesh.materialNames.size()));
    if (added) mesh.materialNames.push_back(name);
    return it->second;
}

// ---- voxelisation ----------------------------------------------------------

// Rays pass slightly off the cell centres, so that they never run exactly
// through the diagonal of a quad split into two triangles.
constexpr double kRayOffset[2] = {0.5 + 1.37e-4, 0.5 + 0.71e-4};
constexpr size_t kMaxHits = size_t(32) << 20;
constexpr uint64_t kMaxColumnTests = uint64_t(256) << 20;

struct Hit {
    uint32_t column;
    float t;
    uint8_t colour;
    bool operator<(const Hit& o) const { return column != o.column ? column < o.column : t < o.t; }
};

struct Triangle {
    double p[3][3];
    uint8_t colour;
};

struct Voxeliser {
    int size[3];
    std::vector<uint8_t> votes, surface, below;
    std::vector<Hit> hits;
    uint64_t tests = 0;

    size_t Cell(int x, int y, int z) const { return size_t(x) + size_t(size[0]) * (size_t(y) + size_t(size[1]) * z); }

    // Hits of the rays along axis a with one triangle; false past the bounds.
    bool Rasterise(const Triangle& tri, int a) {
        const int u = (a + 1) % 3, v = (a + 2) % 3;
        double lo[2] = {1e30, 1e30}, hi[2] = {-1e30, -1e30};
        for (const auto& p : tri.p) {
            lo[0] = std::min(lo[0], p[u]), hi[0] = std::max(hi[0], p[u]);
            lo[1] = std::min(lo[1], p[v]), hi[1] = std::max(hi[1], p[v]);
        }
        const int i0 = std::max(0, int(std::ceil(lo[0] - kRayOffset[0])));
        const int i1 = std::min(size[u] - 1, int(std::floor(hi[0] - kRayOffset[0])));
        const int j0 = std::max(0, int(std::ceil(lo[1] - kRayOffset[1])));
        const int j1 = std::min(size[v] - 1, int(std::floor(hi[1] - kRayOffset[1])));
        if (i0 > i1 || j0 > j1) return true;
        tests += uint64_t(i1 - i0 + 1) * uint64_t(j1 - j0 + 1);
        if (tests > kMaxColumnTests) return false;
        const double* A = tri.p[0];
        const double* B = tri.p[1];
        const double* C = tri.p[2];
        const double area = (B[u] - A[u]) * (C[v] - A[v]) - (B[v] - A[v]) * (C[u] - A[u]);
        if (std::fabs(area) < 1e-12) return true;  // seen edge-on by these rays
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) {
                const double pu = i + kRayOffset[0], pv = j + kRayOffset[1];
                const double wa = ((B[u] - pu) * (C[v] - pv) - (B[v] - pv) * (C[u] - pu)) / area;
                const double wb = ((C[u] - pu) * (A[v] - pv) - (C[v] - pv) * (A[u] - pu)) / area;
                const double wc = 1 - wa - wb;
                if (wa < 0 || wb < 0 || wc < 0) continue;
                if (hits.size() >= kMaxHits) return false;
                hits.push_back(Hit{uint32_t(i + size[u] * j), float(wa * A[a] + wb * B[a] + wc * C[a]), tri.colour});
            }
        return true;
    }

    // Inside runs between hits taken in pairs along each column.
    void Fill(int a) {
        const int u = (a + 1) % 3, v = (a + 2) % 3;
        std::sort(hits.begin(), hits.end());
        for (size_t k = 0; k + 1 < hits.size();) {
            const Hit& in = hits[k];
            const Hit& out = hits[k + 1];
            if (out.column != in.column) {
                ++k;  // an odd hit left at the end of a column
                continue;
            }
            const int first = std::max(0, int(std::ceil(in.t - 0.5)));
            const int last = std::min(size[a] - 1, int(std::floor(out.t - 0.5)));
            int c[3];
            c[u] = int(in.column % uint32_t(size[u]));
            c[v] = int(in.column / uint32_t(size[u]));
            for (int t = first; t <= last; ++t) {
                c[a] = t;
                const size_t cell = Cell(c[0], c[1], c[2]);
                ++votes[cell];
                if (t == first) surface[cell] = in.colour;
                if (t == last) surface[cell] = out.colour;
                if (!below[cell]) below[cell] = in.colour;
            }
            k += 2;
        }
        hits.clear();
    }
};

// Mesh positions back through the axis mapping and scale.
std::vector<double> SourcePositions(const TK_ObjMesh& mesh, const TK_MeshOptions& o) {
    std::vector<double> out(mesh.positions.size());
    for (size_t k = 0; k + 2 < mesh.positions.size(); k += 3)
        for (int i = 0; i < 3; ++i) {
            const int s = o.axisOrder[i];
            const double scale = o.scale[s] != 0 ? o.scale[s] : 1.0;
            out[k + size_t(s)] = mesh.positions[k + size_t(i)] * o.axisSign[i] / scale;
        }
    return out;
}

uint8_t FaceColour(const TK_ObjMesh& mesh, size_t f, const std::vector<TK_ObjMaterial>& materials,
                   const std::vector<bool>& textured, const TK_Model& model) {
    const int m = mesh.faceMaterial[f];
    const int t = mesh.cornerTexcoord[size_t(mesh.faceStart[f])];
    if (m >= 0 && size_t(m) < textured.size() && textured[size_t(m)] && t >= 0) {
        // Clamped before the conversion: a huge u does not fit an int.
        const double u = mesh.texcoords[size_t(2 * t)];
        return uint8_t(std::clamp(std::floor(u * 256) + 1, 1.0, 255.0));
    }
    static const TK_ObjMaterial kDefault;
    const float* kd = m >= 0 && size_t(m) < materials.size() ? materials[size_t(m)].kd : kDefault.kd;
    auto byte = [](float f) { return int(std::clamp(f, 0.0f, 1.0f) * 255 + 0.5f); };
    return uint8_t(model.FindNearestColor(PackRGBA(byte(kd[0]), byte(kd[1]), byte(kd[2]))));
}

}  // namespace

bool TK_ParseObj(const char* text, size_t size, TK_ObjMesh& mesh) {
    mesh = TK_ObjMesh();
    bool ok = true;
    int material = -1;
    std::unordered_map<std::string, int> materialIndex;
    ForEachLine(text, size, [&](const std::vector<const char*>& w, int line) {
        const std::string key = w[0];
        if (key == "v")
            ok = AddNumbers(w, line, 3, mesh.positions);
        else if (key == "vt")
            ok = AddTexcoord(w, line, mesh.texcoords);
        else if (key == "f")
            ok = AddFace(w, line, material, mesh);
        else if (key == "usemtl" && w.size() > 1)
            material = MaterialIndex(mesh, materialIndex, w[1]);
        else if (key == "mtllib" && w.size() > 1)
            mesh.materialLibraries.push_back(w[1]);
        return ok;
    });
    if (ok) return true;
    mesh = TK_ObjMesh();
    return false;
}

void TK_ParseMtl(const char* text, size_t size, std::vector<TK_ObjMaterial>& materials) {
    materials.clear();
    ForEachLine(text, size, [&](const std::vector<const char*>& w, int) {
        const std::string key = w[0];
        if (key == "newmtl" && w.size() > 1) {
            materials.emplace_back();
            materials.back().name = w[1];
        } else if (materials.empty()) {
            return true;
        } else if (key == "Kd" && w.size() > 3) {
            for (int i = 0; i < 3; ++i) ReadFloat(w[size_t(i) + 1], materials.back().kd[i]);
        } else if (key == "map_Kd" && w.size() > 1) {
            materials.back().texture = w[w.size() - 1];
        }
        return true;
    });
}

bool TK_VoxeliseMesh(const TK_ObjMesh& mesh, const std::vector<TK_ObjMaterial>& materials,
                     const std::vector<bool>& textured, const TK_MeshOptions& options, TK_Model& model,
                     const char* where) {
    auto refuse = [where](const char* what) {
        OMB_Printf("[Error] %s : %s\n", where, what);
        return false;
    };
    if (mesh.FaceCount() == 0) return refuse("no faces");
    const std::vector<double> src = SourcePositions(mesh, options);
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (int p : mesh.cornerPosition)
        for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], src[size_t(3 * p + a)]), hi[a] = std::max(hi[a], src[size_t(3 * p + a)]);
    const double longest = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
    if (!(longest > 1e-9) || !std::isfinite(longest)) return refuse("mesh without extent");
    const double scale = longest > kMaxModelSize ? kMaxModelSize / longest : 1.0;
    Voxeliser vox;
    for (int a = 0; a < 3; ++a) vox.size[a] = std::clamp(int(std::ceil((hi[a] - lo[a]) * scale - 1e-3)), 1, kMaxModelSize);
    const size_t cells = size_t(vox.size[0]) * vox.size[1] * vox.size[2];
    vox.votes.assign(cells, 0), vox.surface.assign(cells, 0), vox.below.assign(cells, 0);
    std::vector<uint8_t> colours(mesh.FaceCount());
    for (size_t f = 0; f < colours.size(); ++f) colours[f] = FaceColour(mesh, f, materials, textured, model);
    for (int a = 0; a < 3; ++a) {
        for (size_t f = 0; f < mesh.FaceCount(); ++f) {
            Triangle tri;
            tri.colour = colours[f];
            const int* corner = &mesh.cornerPosition[size_t(mesh.faceStart[f])];
            const int count = mesh.faceStart[f + 1] - mesh.faceStart[f];
            // A fan from the first corner: quads and convex polygons.
            for (int k = 1; k + 1 < count; ++k) {
                const int ids[3] = {corner[0], corner[k], corner[k + 1]};
                for (int i = 0; i < 3; ++i)
                    for (int b = 0; b < 3; ++b) tri.p[i][b] = (src[size_t(3 * ids[i] + b)] - lo[b]) * scale;
                if (!vox.Rasterise(tri, a)) return refuse("mesh too large to voxelise");
            }
        }
        vox.Fill(a);
    }
    model.size[0] = vox.size[0], model.size[1] = vox.size[1], model.size[2] = vox.size[2];
    model.voxels.Clear();
    for (int z = 0; z < vox.size[2]; ++z)
        for (int y = 0; y < vox.size[1]; ++y)
            for (int x = 0; x < vox.size[0]; ++x) {
                const size_t cell = vox.Cell(x, y, z);
                if (vox.votes[cell] < 2) continue;
                const uint8_t c = vox.surface[cell] ? vox.surface[cell] : vox.below[cell];
                model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(c ? c : 1)});
            }
    return true;
}
