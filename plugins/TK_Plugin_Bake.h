// TK_Plugin_Bake: the "bake" command's PLY export. Not in the format table:
// "bake" creates it directly. Until it is written every operation is the
// base's clean failure (false, no message).
#pragma once

#include "plugins/TK_Plugin.h"

class TK_Plugin_Bake : public TK_Plugin {};
