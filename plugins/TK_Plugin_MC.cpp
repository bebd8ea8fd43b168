// Marching-cube PLY export (see TK_Plugin_MC.h).
#include "plugins/TK_Plugin_MC.h"

#include "plugins/TK_IsoSurface.h"

void TK_Plugin_MC::WritePly(const TK_Model& model, const TK_MeshOptions& o, const std::string& name, TK_MeshText& out) {
    TK_IsoMesh mesh;
    TK_ExtractIsoSurface(model, mesh);
    TK_SmoothIsoSurface(mesh, kSmoothPasses);
    WritePlyHeader(name, (long long)mesh.VertexCount(), (long long)mesh.TriangleCount(), out);
    std::string colour[256];
    PlyColourTexts(model.palette, colour);
    // The same affine map as Position, on positions that are not corners.
    double origin[3], step[3];
    for (int i = 0; i < 3; ++i) {
        const int a = o.axisOrder[i];
        step[i] = double(o.axisSign[i]) * o.scale[a];
        origin[i] = -double(o.pivot[a]) * model.size[a] * step[i];
    }
    for (size_t v = 0; v < mesh.VertexCount(); ++v) {
        const float* p = &mesh.positions[3 * v];
        // + 0.0 turns a negative zero into the "0" a reader expects.
        for (int i = 0; i < 3; ++i) (i ? out.Ch(' ') : out).Num(origin[i] + p[o.axisOrder[i]] * step[i] + 0.0);
        out.Str(colour[mesh.colours[v]]);
        out.Flush();
    }
    const bool reverse = ReverseWinding(o);
    const int32_t* t = mesh.triangles.data();
    for (size_t f = 0; f < mesh.TriangleCount(); ++f, t += 3) {
        out.Str("3 ").Int(t[0]).Ch(' ').Int(t[reverse ? 2 : 1]).Ch(' ').Int(t[reverse ? 1 : 2]).Ch('\n');
        out.Flush();
    }
}

bool TK_Plugin_MC::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    return SaveText(path, model, &WritePly);
}
