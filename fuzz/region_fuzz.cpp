// Region data handed to ExtCreateRegion comes from callers' buffers; it must never be read
// beyond the size given, whatever its header claims.
#include <cstring>
#include <vector>

#include "platform/win.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  // A copy of exactly `size` bytes, so that the address sanitizer sees any overread.
  std::vector<unsigned char> buf(data, data + size);
  auto* rgn_data = reinterpret_cast<const win::RGNDATA*>(buf.data());
  win::HRGN rgn = win::ExtCreateRegion(nullptr, win::DWORD(size), size ? rgn_data : nullptr);
  if (rgn) {
    win::DWORD need = win::GetRegionData(rgn, 0, nullptr);
    std::vector<unsigned char> out(need);
    win::GetRegionData(rgn, need, reinterpret_cast<win::RGNDATA*>(out.data()));
    win::DeleteObject(rgn);
  }
  return 0;
}
