#pragma once
// The two entry points the host calls by name, declared once in the public
// header the host compiles against, so the library cannot drift from it.
#include "framework/host/HostString.h"

#include <velmora.h>

#include <type_traits>

static_assert(std::is_same_v<VelmoraHostString, fw::host::HostStringPtr>,
              "the public header and the string reader must agree on the host string type");
