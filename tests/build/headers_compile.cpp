// SPDX-License-Identifier: MIT
// Proves a C++17 program sees <gef/gef.h> with C linkage and links the shared library.
#include <gef/gef.h>

#include <cstdio>
#include <vector>

namespace {
using AnyFn = void (*)();
}

int main() {
  // A missing extern "C" in a header shows up here as an unresolved mangled name at link time.
  const std::vector<AnyFn> refs = {
#define GEF_REF(name) reinterpret_cast<AnyFn>(&name),
#include "gef_symbol_refs.inc"
#undef GEF_REF
  };
  for (AnyFn fn : refs) {
    // volatile: otherwise the optimiser may assume function addresses are never null and drop them.
    const AnyFn volatile seen = fn;
    if (seen == nullptr) {
      std::fprintf(stderr, "an export resolved to a null address\n");
      return 1;
    }
  }
  std::printf("C++ program linked %lu exported functions\n",
              static_cast<unsigned long>(refs.size()));
  return 0;
}
