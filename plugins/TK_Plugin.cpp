// The base plugin's operations: none is supported (see TK_Plugin.h).
#include "plugins/TK_Plugin.h"

TK_Plugin::~TK_Plugin() = default;

bool TK_Plugin::LoadModel(const std::string&, const std::string&, TK_Model&) { return false; }

bool TK_Plugin::SaveModel(const std::string&, const std::string&, const TK_Model&) { return false; }

bool TK_Plugin::LoadImage(const std::string&, const std::string&, Image&) { return false; }

void TK_Plugin::SetLook(const TK_ModelLook*) {}
