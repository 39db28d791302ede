// SPDX-License-Identifier: MIT
// Runs a command's per-file work on several threads and hands the results back in input order.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "inputs.h"

namespace geftool {

/// Where per-file work tells the user what went wrong: the file's own captured text while the
/// runner runs it (shown when the file's turn comes), else stderr.
std::ostream& diagnostics();

/// The -j default: the number of cores, at least 1; 1 where the build has no threads.
int default_jobs();

/// Runs `work(i)` for every input i (on `jobs` threads, each with a library document of its own
/// started with init_gef; `jobs` 1 runs on the calling thread, on the process document) and
/// calls `emit(i)` on the calling thread in input order, after writing what file i told
/// diagnostics() to stderr. `emit` returns false to stop: no later file is emitted. A progress
/// line shows on a terminal. Results are kept by the caller in `slots` places, indexed
/// i % slots; `slots` bounds how far work runs ahead of emitting.
void run_files(const std::vector<Input>& inputs, int jobs, std::size_t slots,
               const std::function<void(std::size_t, std::size_t)>& work,
               const std::function<bool(std::size_t, std::size_t)>& emit);

/// The slots to keep for `jobs` workers: enough that no worker waits on a slow file's neighbours.
inline std::size_t slots_for(int jobs) { return std::size_t(jobs > 1 ? jobs : 1) * 64; }

/// run_files with results of type R: `work` returns file i's result and `emit` takes it.
template <typename R>
void for_each_file(const std::vector<Input>& inputs, int jobs,
                   const std::function<R(const Input&, std::size_t)>& work,
                   const std::function<bool(const Input&, R&)>& emit) {
  std::vector<std::optional<R>> results(slots_for(jobs));
  run_files(
      inputs, jobs, results.size(),
      [&](std::size_t i, std::size_t slot) { results[slot] = work(inputs[i], i); },
      [&](std::size_t i, std::size_t slot) {
        const bool go_on = emit(inputs[i], *results[slot]);
        results[slot].reset();
        return go_on;
      });
}

} // namespace geftool
