// TK_Plugin: the base of every import and export format. A plugin object is
// created by the registry for one call, used once and destroyed by the
// caller; it keeps no state between uses. Every operation returns false in
// the base, so a format overrides only what it supports. Callers pass a fresh
// model or image and keep it only on success; they also normalise models.
#pragma once

#include <string>

#include "model/Image.h"
#include "model/TK_Model.h"
#include "model/TK_ModelLook.h"

class TK_Plugin {
public:
    virtual ~TK_Plugin();

    // Reads the file into `model` (size, voxels, palette).
    virtual bool LoadModel(const std::string& path, const std::string& options, TK_Model& model);
    // Writes `model` to the file.
    virtual bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model);
    // Reads the file into `image`.
    virtual bool LoadImage(const std::string& path, const std::string& options, Image& image);
    // The materials and scene settings of the model, for a format that
    // writes them (null: the defaults); the caller keeps the look alive
    // while the plugin lives. The base (and every format without
    // materials) ignores it.
    virtual void SetLook(const TK_ModelLook* look);
};
