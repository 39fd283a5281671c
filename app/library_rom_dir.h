// Reading library images from the ROM directory (internal to the library).
#pragma once

#include <cstdint>

// Reads entry `index`'s image file into a static buffer of the entry's size
// (a short file leaves zeros, a long one is cut with a warning on stderr).
// Null, with a diagnostic on stderr, when there is no file or it cannot be
// read. The buffer stays valid until the next call.
const uint8_t* library_read_image(int index);
