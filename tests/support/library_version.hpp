#pragma once
// The version the public header declares, as the programs print it: "1.2.3".

#include <string>

#include "varnolith/varnolith.h"

namespace varnolith::testing {

inline std::string library_version() {
    return std::to_string(VARNOLITH_VERSION_MAJOR) + "." + std::to_string(VARNOLITH_VERSION_MINOR) + "." +
           std::to_string(VARNOLITH_VERSION_PATCH);
}

} // namespace varnolith::testing
