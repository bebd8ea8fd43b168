// Mesh export options and the shared surface builder (see TK_Plugin_Mesh.h).
#include "plugins/TK_Plugin_Mesh.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "core/OMB_LmpParser.h"
#include "core/OMB_BitFile.h"
#include "model/TK_Config.h"
#include "model/TK_Workspace.h"

namespace {

// ---- options -------------------------------------------------------------

void ReadFloats(const OMB_LmpNode* section, const char* key, int count, float* out) {
    if (const OMB_LmpNode* node = OMB_LmpParser::FindAttribute(section, key))
        OMB_LmpParser::ParseFloats(node->value.c_str(), count, out);
}

void ReadBool(const OMB_LmpNode* section, const char* key, bool& out) {
    if (const OMB_LmpNode* node = OMB_LmpParser::FindAttribute(section, key)) out = OMB_LmpParser::NodeBool(node);
}

// ---- surface -------------------------------------------------------------

// The colours of the exposed faces of one layer, u fastest (0: no face).
void LayerMask(const TK_MeshGrid& grid, int direction, int layer, std::vector<uint8_t>& mask) {
    const int a = direction / 2, u = (a + 1) % 3, v = (a + 2) % 3;
    const int nu = grid.size[u], nv = grid.size[v];
    const ptrdiff_t neighbour = direction % 2 ? ptrdiff_t(grid.stride[a]) : -ptrdiff_t(grid.stride[a]);
    mask.resize(size_t(nu) * nv);
    const uint8_t* cells = grid.cells.data();
    for (int j = 0; j < nv; ++j) {
        size_t index = grid.stride[a] * size_t(layer + 1) + grid.stride[u] + grid.stride[v] * size_t(j + 1);
        uint8_t* out = &mask[size_t(j) * nu];
        for (int i = 0; i < nu; ++i, index += grid.stride[u]) {
            const uint8_t c = cells[index];
            out[i] = cells[ptrdiff_t(index) + neighbour] ? 0 : c;
        }
    }
}

}  // namespace

void TK_MeshOptions::SetAxis(const std::string& text) {
    int count = 0, sign = 1;
    for (int i = 0; i < 3; ++i) axisOrder[i] = i, axisSign[i] = 1;
    for (char ch : text) {
        const char c = char(std::tolower(static_cast<unsigned char>(ch)));
        if (c == '-' || c == '+') {
            sign = c == '-' ? -1 : 1;
        } else if (c >= 'x' && c <= 'z' && count < 3) {
            axisOrder[count] = c - 'x';
            axisSign[count++] = sign;
            sign = 1;
        }
    }
}

bool TK_MeshOptions::AxisMirrors() const {
    int m[3][3] = {};
    for (int i = 0; i < 3; ++i) m[i][axisOrder[i]] = axisSign[i];
    const int det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                    m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                    m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    return det < 0;
}

void TK_MeshOptions::Read(const OMB_LmpNode* section) {
    if (!section) return;
    ReadFloats(section, "scale", 3, scale);
    ReadFloats(section, "pivot", 3, pivot);
    ReadFloats(section, "tc_offset", 2, tcOffset);
    ReadBool(section, "cw", cw);
    ReadBool(section, "optimize", optimize);
    ReadBool(section, "watertight", watertight);
    ReadBool(section, "perface", perFace);
    ReadFloats(section, "gamma", 1, &gamma);
    ReadFloats(section, "ambient", 1, &ambient);
    gamma = std::max(gamma, 0.0f);
    ambient = std::clamp(ambient, 0.0f, 1.0f);
    if (const OMB_LmpNode* node = OMB_LmpParser::FindAttribute(section, "axis")) SetAxis(node->value);
}

void TK_MeshOptions::Load(const std::string& configPath, const char* section) {
    OMB_LmpParser parser;
    if (TK_ParseConfigFile(configPath, parser)) Read(OMB_LmpParser::FindChild(&parser.Root(), section));
}

TK_MeshGrid::TK_MeshGrid(const TK_Model& model)
    : size{model.size[0], model.size[1], model.size[2]},
      stride{1, size_t(size[0] + 2), size_t(size[0] + 2) * size_t(size[1] + 2)} {
    cells.assign(stride[2] * size_t(size[2] + 2), 0);
    for (const Voxel& v : model.voxels)
        if (model.InBox(v.x, v.y, v.z)) cells[Index(v.x, v.y, v.z)] = v.colorIndex;
}

size_t TK_MeshSurface::Count() const {
    size_t n = 0;
    for (const auto& list : faces) n += list.size();
    return n;
}

void TK_BuildMeshSurface(const TK_Model& model, bool optimize, TK_MeshSurface& surface) {
    for (auto& list : surface.faces) list.clear();
    const TK_MeshGrid grid(model);
    std::vector<uint8_t> mask;
    for (int d = 0; d < 6; ++d) {
        const int a = d / 2, nu = grid.size[(a + 1) % 3], nv = grid.size[(a + 2) % 3];
        auto& out = surface.faces[d];
        for (int layer = 0; layer < grid.size[a]; ++layer) {
            LayerMask(grid, d, layer, mask);
            const uint8_t plane = uint8_t(layer + d % 2);
            auto emit = [&](uint8_t c, int u0, int v0, int u1, int v1) {
                out.push_back(TK_MeshFace{uint8_t(d), c, plane, uint8_t(u0), uint8_t(v0), uint8_t(u1), uint8_t(v1)});
            };
            if (optimize) {
                TK_MergeRectangles(mask, nu, nv, [](uint8_t) { return true; }, emit);
                continue;
            }
            for (int j = 0; j < nv; ++j)
                for (int i = 0; i < nu; ++i)
                    if (const uint8_t c = mask[size_t(j) * nu + i]) emit(c, i, j, i + 1, j + 1);
        }
    }
}

TK_MeshJoints::TK_MeshJoints(const TK_Model& model, const TK_MeshSurface& surface, bool enabled) {
    bool merged = false;
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& f : list) merged = merged || f.u1 - f.u0 > 1 || f.v1 - f.v0 > 1;
    if (!enabled || !merged) return;
    m_stride[0] = 1, m_stride[1] = size_t(model.size[0] + 1), m_stride[2] = m_stride[1] * size_t(model.size[1] + 1);
    m_bits.assign((m_stride[2] * size_t(model.size[2] + 1) + 63) / 64, 0);
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& f : list) {
            const int a = f.direction / 2, u = (a + 1) % 3, v = (a + 2) % 3;
            for (int cu : {f.u0, f.u1})
                for (int cv : {f.v0, f.v1}) {
                    const size_t i = m_stride[a] * f.plane + m_stride[u] * size_t(cu) + m_stride[v] * size_t(cv);
                    m_bits[i / 64] |= uint64_t(1) << (i % 64);
                }
        }
}

bool TK_MeshJoints::Ring(const TK_MeshFace& face, std::vector<int>& ring) const {
    // Sides of one cell have no point between their ends.
    if (m_bits.empty() || face.u1 - face.u0 + face.v1 - face.v0 == 2) return false;
    const int a = face.direction / 2, w = face.u1 - face.u0, h = face.v1 - face.v0;
    const size_t su = m_stride[(a + 1) % 3], sv = m_stride[(a + 2) % 3];
    const size_t origin = m_stride[a] * face.plane + su * face.u0 + sv * face.v0;
    bool extra = false;
    ring.clear();
    // A corner, then the points strictly inside the side that leaves it
    // (bit `at` is the corner, `step` apart along the side).
    auto side = [&](int u, int v, int du, int dv, int steps, size_t at, ptrdiff_t step) {
        ring.insert(ring.end(), {u, v});
        for (int k = 1; k < steps; ++k) {
            at = size_t(ptrdiff_t(at) + step);
            if (m_bits[at / 64] >> (at % 64) & 1) ring.insert(ring.end(), {u + k * du, v + k * dv}), extra = true;
        }
    };
    const ptrdiff_t pu = ptrdiff_t(su), pv = ptrdiff_t(sv);
    side(face.u0, face.v0, 1, 0, w, origin, pu);
    side(face.u1, face.v0, 0, 1, h, origin + su * size_t(w), pv);
    side(face.u1, face.v1, -1, 0, w, origin + su * size_t(w) + sv * size_t(h), -pu);
    side(face.u0, face.v1, 0, -1, h, origin + sv * size_t(h), -pv);
    return extra;
}

void TK_MeshJoints::Triangulate(const TK_MeshFace& face, bool reverse, const std::vector<int>& ring,
                                std::vector<int>& triangles) {
    const int n = int(ring.size() / 2);
    int m = 0;  // the corner (u1, v1)
    while (ring[size_t(2 * m)] != face.u1 || ring[size_t(2 * m + 1)] != face.v1) ++m;
    auto arc = [&](int k) { return ring[size_t(2 * k)] - face.u0 + ring[size_t(2 * k + 1)] - face.v0; };
    const bool flip = (face.direction % 2 == 0) != reverse;
    triangles.clear();
    auto add = [&](int p, int q, int r) { triangles.insert(triangles.end(), {p, flip ? r : q, flip ? q : r}); };
    // Two chains run from (u0, v0) to (u1, v1): p along the ring (bottom,
    // right side), q against it (left, top side; its point j is n - j).
    // Zipping them between their second and next-to-last points, in step
    // along u + v, never puts three points of one side in a triangle: each
    // side's line holds only one end of the other chain.
    const int pLast = m - 1, qLast = n - m - 1;
    add(0, 1, n - 1);
    int i = 1, j = 1;
    while (i < pLast || j < qLast) {
        if (j == qLast || (i < pLast && arc(i + 1) <= arc(n - j - 1))) {
            add(i, i + 1, n - j), ++i;
        } else {
            add(i, n - j - 1, n - j), ++j;
        }
    }
    add(pLast, m, m + 1);
}

TK_MeshText& TK_MeshText::Int(long long value) {
    char buffer[24];
    return text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr), *this;
}

TK_MeshText& TK_MeshText::Num(double value) {
    char buffer[32];
    // to_chars with "general" and a precision is printf's "%.6g".
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6).ptr;
    return text.append(buffer, end), *this;
}

void TK_MeshText::Drain() {
    if (m_file && !text.empty()) {
        m_ok = m_file->WriteBytes(text.data(), text.size()) && m_ok;
        text.clear();
    }
}

TK_MeshCoordinates::TK_MeshCoordinates(const TK_MeshOptions& o, const TK_Model& model) {
    for (int i = 0; i < 3; ++i) {
        const int source = order[i] = o.axisOrder[i];
        for (int c = 0; c <= model.size[source]; ++c) {
            TK_MeshText number;
            // + 0.0 turns a negative zero into the "0" a reader expects.
            number.Num(o.axisSign[i] * (c - double(o.pivot[source]) * model.size[source]) * o.scale[source] + 0.0);
            axis[i].push_back(number.text);
        }
    }
}

TK_MeshText& TK_MeshCoordinates::Append(const int corner[3], TK_MeshText& out) const {
    out.Str(axis[0][size_t(corner[order[0]])]).Ch(' ').Str(axis[1][size_t(corner[order[1]])]).Ch(' ');
    return out.Str(axis[2][size_t(corner[order[2]])]);
}

TK_Plugin_Mesh::TK_Plugin_Mesh(const char* section, const TK_MeshOptions& defaults) : options(defaults) {
    options.Load(TK_ConfigFile(), section);
}

void TK_Plugin_Mesh::FaceUV(const TK_MeshFace& face, bool reverse, int uv[4][2]) {
    // u x v points along +a, so (u0,v0) (u1,v0) (u1,v1) (u0,v1) faces +a.
    const int ccw[4][2] = {{face.u0, face.v0}, {face.u1, face.v0}, {face.u1, face.v1}, {face.u0, face.v1}};
    const bool flip = (face.direction % 2 == 0) != reverse;
    for (int k = 0; k < 4; ++k) {
        uv[k][0] = ccw[flip ? 3 - k : k][0];
        uv[k][1] = ccw[flip ? 3 - k : k][1];
    }
}

void TK_Plugin_Mesh::Corner(const TK_MeshFace& face, int u, int v, int corner[3]) {
    const int a = face.direction / 2;
    corner[a] = face.plane, corner[(a + 1) % 3] = u, corner[(a + 2) % 3] = v;
}

void TK_Plugin_Mesh::FaceCorners(const TK_MeshFace& face, bool reverse, int corners[4][3]) {
    int uv[4][2];
    FaceUV(face, reverse, uv);
    for (int k = 0; k < 4; ++k) Corner(face, uv[k][0], uv[k][1], corners[k]);
}

void TK_Plugin_Mesh::Position(const TK_MeshOptions& o, const TK_Model& model, const int corner[3], double out[3]) {
    double p[3];
    for (int a = 0; a < 3; ++a) p[a] = (corner[a] - double(o.pivot[a]) * model.size[a]) * o.scale[a];
    for (int i = 0; i < 3; ++i) out[i] = o.axisSign[i] * p[o.axisOrder[i]];
}

void TK_Plugin_Mesh::Normal(const TK_MeshOptions& o, int direction, int out[3]) {
    int n[3] = {0, 0, 0};
    n[direction / 2] = direction % 2 ? 1 : -1;
    for (int i = 0; i < 3; ++i) out[i] = o.axisSign[i] * n[o.axisOrder[i]] * (o.cw ? -1 : 1);
}

void TK_Plugin_Mesh::WritePlyHeader(const std::string& name, long long vertices, long long faces, TK_MeshText& out) {
    out.Str("ply\n").Str("format ascii 1.0\n").Str("comment : ").Str(name).Str("\n");
    out.Str("comment : Tarsk @ Ombrel\n").Str("element vertex ").Int(vertices).Ch('\n');
    out.Str("property float x\nproperty float y\nproperty float z\n");
    out.Str("property uchar red\nproperty uchar green\nproperty uchar blue\n");
    out.Str("element face ").Int(faces).Ch('\n').Str("property list uchar int vertex_index\n").Str("end_header\n");
}

void TK_Plugin_Mesh::WritePlyQuads(long long faces, TK_MeshText& out) {
    for (long long f = 0; f < faces; ++f) {
        out.Str("4 ").Int(4 * f).Ch(' ').Int(4 * f + 1).Ch(' ').Int(4 * f + 2).Ch(' ').Int(4 * f + 3).Ch('\n');
        out.Flush();
    }
}

void TK_Plugin_Mesh::PlyColourTexts(const Palette& palette, std::string texts[256]) {
    for (int i = 1; i < 256; ++i) {
        const uint32_t c = palette[i];
        texts[i] = " " + std::to_string(ColorR(c)) + " " + std::to_string(ColorG(c)) + " " + std::to_string(ColorB(c)) + "\n";
    }
}

bool TK_Plugin_Mesh::SaveText(const std::string& path, const TK_Model& model, TextWriter write) const {
    if (model.voxels.Empty() || path.empty()) return false;
    const std::string name = model.ModelBaseName();
    OMB_SaveBitFile file;
    if (!file.Open(path.c_str())) return false;
    TK_MeshText out(&file);
    write(model, options, name.empty() ? "model" : name, out);
    if (out.Finish() && file.Close()) return true;
    file.Discard();
    return false;
}
