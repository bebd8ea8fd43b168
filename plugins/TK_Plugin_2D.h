// TK_Plugin_2D: a 2D sprite of the model written as a PNG image.
// Registered so that the format table is complete; until its format is
// written every operation is the base's clean failure (false, no message).
#pragma once

#include "plugins/TK_Plugin.h"

class TK_Plugin_2D : public TK_Plugin {};
