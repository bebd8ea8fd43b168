// TK_Plugin_3DS: 3D Studio meshes (".3ds"): export, and import of the meshes
// it writes.
// Registered so that the format table is complete; until its format is
// written every operation is the base's clean failure (false, no message).
#pragma once

#include "plugins/TK_Plugin.h"

class TK_Plugin_3DS : public TK_Plugin {};
