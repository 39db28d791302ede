// SPDX-License-Identifier: MIT
// The fuzz targets' bodies, shared by the libFuzzer programs and the regression-corpus replay.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gef_fuzz {

// Reads the bytes as a GEF file, checks it with every rule set, queries it and frees it.
int read_target(const std::uint8_t* data, std::size_t size);

// Decodes the bytes into a sequence of library calls with arbitrary arguments.
int api_target(const std::uint8_t* data, std::size_t size);

// Writes what the bytes read as, reads that again and compares the two documents and writes.
int roundtrip_target(const std::uint8_t* data, std::size_t size);

// The path read_gef should open to see the bytes: a memory stream in fuzzing builds, else a
// scratch file private to this process.
const char* input_path(const std::uint8_t* data, std::size_t size);

// Ends what input_path started, so later reads see real files again.
void input_done();

// Releases the document's memory as free_gef does; fuzzing builds keep the keyword storage,
// whose setting up would otherwise take most of each input's time.
void end_document();

// A folder private to this process for the files the targets write.
const char* scratch_folder();

} // namespace gef_fuzz
