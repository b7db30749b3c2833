// JPEG pictures decoded once with libjpeg before the image library reads them: the library's
// reader carries on after libjpeg's fatal errors and spins at the end of a short file, so such
// files must never reach it.
#pragma once

#include <string>

// True when the file starts with the JPEG start marker and decodes to its end marker without a
// fatal error or a premature end of data, both sides in 1..maxSize (checked before decoding).
// Decodes one row at a time into a small reused buffer; needs no GL context.
bool jpegCheckDecodes(const std::string& path, int maxSize);
