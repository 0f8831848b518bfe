#include "graphics/blend_table.h"

namespace velmio {

constinit const BlendTable kBlendTable = MakeBlendTable();

}  // namespace velmio
