// SPDX-License-Identifier: MIT
// Keeps C++ exceptions from crossing the C interface: every export that can reach a throwing
// container ends in GEF_CATCH, which turns the exception into an error entry and a failure value.
#pragma once

namespace gef {

// Records the exception being handled in the current document's error list, when there is one:
// running out of memory as error 22 at level 1, anything else as a note naming it. Call only
// inside a catch handler.
void record_exception() noexcept;

} // namespace gef

// The handler of an export's function-try-block: `int f(int a) try { ... } GEF_CATCH(0)`.
// A void export passes nothing: GEF_CATCH().
#define GEF_CATCH(failure)                                                                         \
  catch (...) {                                                                                    \
    gef::record_exception();                                                                       \
    return failure;                                                                                \
  }
