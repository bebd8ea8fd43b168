// TK_VoxelRayCaster: the raster view's voxels drawn by casting one ray per
// pixel through the model's cells (render/shaders/rc_cast.glsl), so that a
// frame costs by its pixels, not by the model's faces. It owns the GPU copy
// of TK_VoxelVolume (colour indices, occlusion and bricks as 3D textures,
// patched in place for the cells an edit changed) and the program; the
// scene renderer supplies the palette, the emissive table, the camera and
// the shading terms, and draws every other pass (background, lines, frame,
// previews, cursor) as before. The depth it writes is the depth the face
// would have had, so those passes sit against the voxels as they do
// against faces.
//
// Rules: Init, Upload, Draw and the destructor need the context current.
// Draw leaves the GL state at rest as TK_Renderers.h describes.
#pragma once

#include <cstdint>
#include <vector>

#include "render/GLObjects.h"
#include "render/TK_VoxelVolume.h"

class Camera;

class TK_VoxelRayCaster {
public:
    // One frame's view and shading.
    struct Frame {
        const Camera* camera = nullptr;
        int x0 = 0, y0 = 0, width = 0, height = 0;  // the viewport
        bool shaded = true;       // the voxel program's shading, else flat greys
        bool ground = false;      // the ground plane under the model
        bool colour = true;       // false: depth only
        bool lineOffset = false;  // step back in depth so lines on faces win
        bool ids = false;         // cells and faces instead of colours (tests)
        bool grid = false;        // face outlines
        bool edges = false;       // the model's edges
        float ambient[3] = {0, 0, 0};
        uint8_t edgeColor[4] = {255, 255, 255, 255};
    };

    // True when the driver runs GLSL 1.30 with 3D textures.
    static bool Supported();

    // Builds the program; false (after the driver's message) when it cannot.
    bool Init();
    void Release();
    bool IsReady() const { return m_program.IsValid(); }

    // Patches the textures with the cells in `changed` (everything after a
    // resize); Draw needs one Upload after the first Update.
    void Upload(const TK_VoxelVolume& volume, const TK_CellBox& changed);
    // Draws into the current framebuffer with the palette and emissive
    // table given (1D textures of 256 texels).
    void Draw(const Frame& frame, const TK_VoxelVolume& volume, const GLTexture& palette, const GLTexture& look);

private:
    void SetUniforms(const Frame& frame, const int size[3]);

    GLProgram m_program;
    GLTexture m_cells, m_occlusion, m_bricks;
    std::vector<uint8_t> m_patch;
    bool m_uploaded = false;
};
