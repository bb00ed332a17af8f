// The one variant this deliverable carries, chosen at build time (AFCP_VARIANT_BREVANE or not).
// Every difference between the two modules is a member of Korst or Brevane; code asks `Variant` with
// if constexpr, never with the preprocessor.
#pragma once

#include "variants/brevane.h"
#include "variants/korst.h"

namespace afcp {
#if defined(AFCP_VARIANT_BREVANE)
using Variant = variants::Brevane;
#else
using Variant = variants::Korst;
#endif
}  // namespace afcp
