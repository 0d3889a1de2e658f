#pragma once

#include <memory>

#include "about/system_services.h"

namespace about {

// The launcher's services of the platform the program is built for.
std::unique_ptr<SystemServices> makePlatformServices();

}  // namespace about
