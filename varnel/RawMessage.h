#pragma once

#include <vector>

// The ten bytes of a decoded frame.
typedef std::vector<unsigned char> RawMessage_t;
