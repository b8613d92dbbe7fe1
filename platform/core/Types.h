#pragma once

// Small types that both the dataset layer and the controls use.

#include "platform/core/Object.h"

namespace vyn {

VYN_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)

} // namespace vyn
