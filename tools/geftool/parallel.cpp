// SPDX-License-Identifier: MIT
// Per-file work on N threads, each with its own library document, emitted in input order.
#include "parallel.h"

#include <algorithm>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <sstream>

#include <gef/extensions.h>
#include <gef/gef.h>

#include "progress.h"
#include "text.h"

// A WebAssembly build without pthreads has no usable std::thread: it runs every file in turn.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define GEFTOOL_THREADS 0
#else
#define GEFTOOL_THREADS 1
#include <thread>
#endif

namespace geftool {
namespace {

thread_local std::ostream* captured = nullptr;

// Runs work(i) with what it tells diagnostics() kept in `told`.
void run_captured(const std::function<void(std::size_t, std::size_t)>& work, std::size_t i,
                  std::size_t slot, std::string& told) {
  std::ostringstream text;
  captured = &text;
  work(i, slot);
  captured = nullptr;
  told = text.str();
}

} // namespace

std::ostream& diagnostics() { return captured != nullptr ? *captured : std::cerr; }

int default_jobs() {
#if GEFTOOL_THREADS
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 0 ? int(cores) : 1;
#else
  return 1;
#endif
}

void run_files(const std::vector<Input>& inputs, int jobs, std::size_t slots,
               const std::function<void(std::size_t, std::size_t)>& work,
               const std::function<bool(std::size_t, std::size_t)>& emit) {
  const std::size_t count = inputs.size();
  Progress progress(count);
  std::vector<std::string> told(slots);
  if (!GEFTOOL_THREADS || jobs <= 1 || count <= 1) {
    // On the calling thread and the process document, as geftool always ran.
    for (std::size_t i = 0; i < count; ++i) {
      progress.show(i, to_utf8(inputs[i].path));
      run_captured(work, i, i % slots, told[0]);
      progress.clear();
      std::cerr << told[0];
      if (!emit(i, i % slots)) return;
    }
    return;
  }
#if GEFTOOL_THREADS
  std::mutex mutex;
  std::condition_variable claimable, finished;
  std::vector<char> done(slots, 0);
  std::size_t claimed = 0, emitted = 0;
  // The calling thread sleeps until a batch of files is done, not for every file: waking it for
  // each file switched threads several times per file. It waits for file `wanted` and for file
  // `awaited` (the batch's last), and a worker wakes it only then.
  std::size_t wanted = 0, awaited = 0;
  int alive = 0;
  bool stop = false;
  auto ready = [&] {
    return (done[wanted % slots] != 0 && done[awaited % slots] != 0) || alive == 0;
  };

  // Takes the next file whose slot is free; false when there is none left (or a stop).
  auto claim = [&](std::unique_lock<std::mutex>& lock, std::size_t& i) {
    claimable.wait(lock, [&] { return stop || claimed >= count || claimed < emitted + slots; });
    if (stop || claimed >= count) return false;
    i = claimed++;
    return true;
  };
  auto finish = [&](std::size_t i, std::string&& text) {
    const std::lock_guard<std::mutex> lock(mutex);
    told[i % slots] = std::move(text);
    done[i % slots] = 1;
    if (ready()) finished.notify_all();
  };
  auto worker = [&] {
    // A worker whose document cannot start takes no file; the calling thread does the rest.
    const bool own = gef_thread_document(1) == 1;
    if (own && init_gef() == 1) {
      std::unique_lock<std::mutex> lock(mutex);
      for (std::size_t i = 0; claim(lock, i);) {
        lock.unlock();
        std::string text;
        run_captured(work, i, i % slots, text);
        finish(i, std::move(text));
        lock.lock();
      }
    }
    if (own) gef_thread_document(0);
    const std::lock_guard<std::mutex> lock(mutex);
    --alive;
    finished.notify_all();
  };

  const std::size_t workers = std::min<std::size_t>(std::size_t(jobs), count);
  std::vector<std::thread> threads;
  alive = int(workers);
  for (std::size_t t = 0; t < workers; ++t) threads.emplace_back(worker);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t slot = i % slots;
    progress.show(i, to_utf8(inputs[i].path));
    std::unique_lock<std::mutex> lock(mutex);
    if (done[slot] == 0) {
      wanted = i;
      awaited = std::min(i + slots / 4, count - 1);
      finished.wait(lock, ready);
    }
    if (done[slot] == 0) { // every worker has gone: this file was never claimed
      claimed = i + 1;
      lock.unlock();
      run_captured(work, i, slot, told[slot]);
      lock.lock();
    }
    done[slot] = 0;
    lock.unlock();
    progress.clear();
    std::cerr << told[slot];
    told[slot].clear();
    const bool go_on = emit(i, slot);
    lock.lock();
    emitted = i + 1;
    stop = !go_on;
    claimable.notify_all();
    if (stop) break;
  }
  for (std::thread& t : threads) t.join();
#endif
}

} // namespace geftool
