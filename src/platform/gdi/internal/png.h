#pragma once
// PNG output for screenshots: any bitmap as 24-bit RGB, rows from the top.
#include "platform/gdi/internal/access.h"
#include "platform/gdi/internal/bitmap.h"

#include <string>
#include <vector>

namespace win::gdi {

// False (with the last error set: ERROR_INVALID_PARAMETER for an empty bitmap,
// ERROR_ACCESS_DENIED when the file cannot be written) on failure.
bool WritePng(const Bitmap& bmp, const std::string& path);
bool WritePng(const Bitmap& bmp, std::vector<BYTE>* out);

}  // namespace win::gdi
