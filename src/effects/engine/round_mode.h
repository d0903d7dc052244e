#pragma once
// The rounding helpers live with the document layer, which every pixel
// library stands on; this name stays for the callers that still use it.
#include "doc/round_mode.h"
