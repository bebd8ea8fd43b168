// ASCII PLY mesh export (see TK_Plugin_PLY.h).
#include "plugins/TK_Plugin_PLY.h"

#include "model/OMB_BitFile.h"

void TK_Plugin_PLY::WritePlyText(const TK_Model& model, const TK_MeshOptions& o, const std::string& name,
                                 std::string& ply) {
    TK_MeshText out;
    WritePly(model, o, name, out);
    ply.swap(out.text);
}

void TK_Plugin_PLY::WritePly(const TK_Model& model, const TK_MeshOptions& o, const std::string& name, TK_MeshText& out) {
    TK_MeshSurface surface;
    TK_BuildMeshSurface(model, o.optimize, surface);
    const long long faces = (long long)surface.Count();
    out.Str("ply\n").Str("format ascii 1.0\n").Str("comment : ").Str(name.c_str()).Str("\n");
    out.Str("comment : Tarsk @ Ombrel\n").Str("element vertex ").Int(4 * faces).Ch('\n');
    out.Str("property float x\nproperty float y\nproperty float z\n");
    out.Str("property uchar red\nproperty uchar green\nproperty uchar blue\n");
    out.Str("element face ").Int(faces).Ch('\n').Str("property list uchar int vertex_index\n").Str("end_header\n");
    const bool reverse = ReverseWinding(o);
    const TK_MeshCoordinates coordinates(o, model);
    // " R G B\n" of each colour, made once.
    std::string colour[256];
    for (int i = 1; i < 256; ++i) {
        const uint32_t c = model.palette[i];
        colour[i] = " " + std::to_string(ColorR(c)) + " " + std::to_string(ColorG(c)) + " " + std::to_string(ColorB(c)) + "\n";
    }
    int corners[4][3];
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) {
            FaceCorners(face, reverse, corners);
            for (const auto& corner : corners) {
                coordinates.Append(corner, out);
                out.Str(colour[face.colour]);
            }
            out.Flush();
        }
    for (long long f = 0; f < faces; ++f) {
        out.Str("4 ").Int(4 * f).Ch(' ').Int(4 * f + 1).Ch(' ').Int(4 * f + 2).Ch(' ').Int(4 * f + 3).Ch('\n');
        out.Flush();
    }
}

bool TK_Plugin_PLY::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    if (model.voxels.Empty() || path.empty()) return false;
    const std::string name = model.ModelBaseName();
    OMB_SaveBitFile file;
    if (!file.Open(path.c_str())) return false;
    TK_MeshText out(&file);
    WritePly(model, options, name.empty() ? "model" : name, out);
    if (out.Finish() && file.Close()) return true;
    file.Discard();
    return false;
}
