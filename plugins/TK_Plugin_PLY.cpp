// ASCII PLY mesh export (see TK_Plugin_PLY.h).
#include "plugins/TK_Plugin_PLY.h"

void TK_Plugin_PLY::WritePlyText(const TK_Model& model, const TK_MeshOptions& o, const std::string& name,
                                 std::string& ply) {
    TK_MeshText out;
    WritePly(model, o, name, out);
    ply.swap(out.text);
}

namespace {

// Vertices and faces of the file: a face with more corners brings them all
// and their triangles.
void CountPly(const TK_MeshSurface& surface, const TK_MeshJoints& joints, long long& vertices, long long& faces) {
    std::vector<int> ring;
    vertices = faces = 0;
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) {
            const long long points = joints.Ring(face, ring) ? (long long)ring.size() / 2 : 4;
            vertices += points, faces += points == 4 ? 1 : points - 2;
        }
}

void WriteVertices(const TK_Model& model, const TK_MeshOptions& o, const TK_MeshSurface& surface,
                   const TK_MeshJoints& joints, TK_MeshText& out) {
    const bool reverse = TK_Plugin_Mesh::ReverseWinding(o);
    const TK_MeshCoordinates coordinates(o, model);
    std::string colour[256];
    TK_Plugin_Mesh::PlyColourTexts(model.palette, colour);
    int corners[4][3], corner[3];
    std::vector<int> ring;
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) {
            if (joints.Ring(face, ring)) {
                for (size_t k = 0; k < ring.size(); k += 2) {
                    TK_Plugin_Mesh::Corner(face, ring[k], ring[k + 1], corner);
                    coordinates.Append(corner, out).Str(colour[face.colour]);
                }
            } else {
                TK_Plugin_Mesh::FaceCorners(face, reverse, corners);
                for (const auto& c : corners) coordinates.Append(c, out).Str(colour[face.colour]);
            }
            out.Flush();
        }
}

// Quads, and the triangles of faces with more corners, over the vertices
// in the order they were written.
void WriteFaces(const TK_MeshSurface& surface, const TK_MeshJoints& joints, bool reverse, TK_MeshText& out) {
    std::vector<int> ring, triangles;
    long long first = 0;
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) {
            if (!joints.Ring(face, ring)) {
                out.Str("4 ").Int(first).Ch(' ').Int(first + 1).Ch(' ').Int(first + 2).Ch(' ').Int(first + 3).Ch('\n');
                first += 4;
                out.Flush();
                continue;
            }
            TK_MeshJoints::Triangulate(face, reverse, ring, triangles);
            for (size_t k = 0; k < triangles.size(); k += 3) {
                out.Str("3 ").Int(first + triangles[k]).Ch(' ').Int(first + triangles[k + 1]).Ch(' ');
                out.Int(first + triangles[k + 2]).Ch('\n');
            }
            first += (long long)ring.size() / 2;
            out.Flush();
        }
}

}  // namespace

void TK_Plugin_PLY::WritePly(const TK_Model& model, const TK_MeshOptions& o, const std::string& name, TK_MeshText& out) {
    TK_MeshSurface surface;
    TK_BuildMeshSurface(model, o.optimize, surface);
    const TK_MeshJoints joints(model, surface, o.watertight);
    long long vertices = 0, faces = 0;
    CountPly(surface, joints, vertices, faces);
    WritePlyHeader(name, vertices, faces, out);
    WriteVertices(model, o, surface, joints, out);
    if (joints.Empty()) return WritePlyQuads(faces, out);
    WriteFaces(surface, joints, ReverseWinding(o), out);
}

bool TK_Plugin_PLY::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    return SaveText(path, model, &WritePly);
}
