// SPDX-License-Identifier: MIT
// libFuzzer entry point; GEF_FUZZ_TARGET names the target body this program runs.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return gef_fuzz::GEF_FUZZ_TARGET(data, size);
}
