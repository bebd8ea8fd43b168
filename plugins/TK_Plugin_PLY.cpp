// ASCII PLY mesh export (see TK_Plugin_PLY.h).
#include "plugins/TK_Plugin_PLY.h"

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
    WritePlyHeader(name, 4 * faces, faces, out);
    const bool reverse = ReverseWinding(o);
    const TK_MeshCoordinates coordinates(o, model);
    std::string colour[256];
    PlyColourTexts(model.palette, colour);
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
    WritePlyQuads(faces, out);
}

bool TK_Plugin_PLY::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    return SaveText(path, model, &WritePly);
}
