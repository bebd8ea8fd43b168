// TK_Plugin_MC: marching-cube surface of the model, written as an ASCII PLY
// mesh (".ply").
// Registered so that the format table is complete; until its format is
// written every operation is the base's clean failure (false, no message).
#pragma once

#include "plugins/TK_Plugin.h"

class TK_Plugin_MC : public TK_Plugin {};
