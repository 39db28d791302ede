// SPDX-License-Identifier: MIT
// Allocation-failure loop: a full library cycle is repeated with its N-th allocation failing, for
// every N the cycle makes; each run must end in success or a reported error, with no exception
// crossing the C functions, no crash and no leak, and a good file must read afterwards.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <gef/extensions.h>
#include <gef/gef.h>

namespace {

// Counting is off (-1) outside the cycle; fail_at 0 never fails.
long g_calls = -1;
long g_fail_at = 0;
// Blocks handed out and not yet returned, where this program sees both ends (see below).
long g_live = 0;

// GEF_ALLOC_FAILURE_TRAP=N stops a debugger at the N-th allocation when it fails.
long g_trap_at = -1;

bool should_fail() {
  if (g_calls < 0) return false;
  if (++g_calls != g_fail_at) return false;
  if (g_fail_at == g_trap_at) std::raise(SIGTRAP);
  return true;
}

[[maybe_unused]] void* counted(void* p) {
  if (p != nullptr) ++g_live;
  return p;
}

} // namespace

#if defined(__SANITIZE_ADDRESS__)
#define GEF_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GEF_SANITIZED 1
#endif
#endif

#if !defined(GEF_SANITIZED) && defined(__GLIBC__)
// Without sanitizers, malloc, calloc, realloc and free are replaced too: texts handed to callers
// fail like everything else, and the live count finds leaks run by run.
#define GEF_COUNT_LIVE 1
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);
void* malloc(std::size_t size) { return should_fail() ? nullptr : counted(__libc_malloc(size)); }
void* calloc(std::size_t n, std::size_t size) {
  return should_fail() ? nullptr : counted(__libc_calloc(n, size));
}
void* realloc(void* p, std::size_t size) {
  if (p == nullptr) return malloc(size);
  if (size == 0) {
    free(p);
    return nullptr;
  }
  return should_fail() ? nullptr : __libc_realloc(p, size);
}
void free(void* p) {
  if (p != nullptr) --g_live;
  __libc_free(p);
}
}
#endif

// Every form of new the library uses fails here, the throwing ones included: an exception that
// leaves a C function is a finding of this loop. Under the sanitizers malloc is theirs, and
// delete pairs with it.
namespace {
void* allocate(std::size_t size) {
  if (should_fail()) return nullptr;
#ifdef GEF_COUNT_LIVE
  return counted(__libc_malloc(size != 0 ? size : 1));
#else
  return std::malloc(size != 0 ? size : 1);
#endif
}
} // namespace

void* operator new(std::size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

// What one run observed: each step's result and the error entries recorded after it. Its room
// is reserved before counting starts, so that only the library's allocations are counted.
struct Run {
  std::vector<long long> results;
  std::vector<int> errors;
  Run() {
    results.reserve(64);
    errors.reserve(64);
  }
  void clear() {
    results.clear();
    errors.clear();
  }
  void step(long long result) {
    results.push_back(result);
    // -1: no error list, as when memory for it ran out; nothing can be reported then.
    errors.push_back(get_error_level_all() == -1 ? -1 : gef_copy_errors(nullptr, 0));
  }
};

// One cycle: read a real file, every rule set, write, edit fields, column operations, report
// texts, error texts, a document built by hand, free.
constexpr std::size_t kWriteDifStep = 8; // write_dif's place among the steps of cycle()

struct Paths {
  std::string input, gef, dif, edited;
};

void cycle(const Paths& paths, Run& run) {
  run.clear();
  run.step(init_gef());
  run.step(read_gef(paths.input.c_str()));
  for (const char* rules : {"HEADER", "GEF-CPT-Report", "GEF-BORE-Report", "DATA"})
    run.step(test_gef(rules));
  run.step(gcr_is_gcr());
  run.step(write_gef(paths.gef.c_str()));
  run.step(write_dif(paths.dif.c_str()));
  run.step(set_comment("allocation failure loop"));
  run.step(set_measurementtext(7, "text", "information"));
  run.step(del_measurementtext(7));
  run.step(del_comment());
  run.step(add_data_column("m", "extra", 99, -9999.0));
  run.step(calc_all_columnminmax());
  run.step(qn2column(99));
  run.step(maak_tijdkolom(12));
  run.step(delete_column(get_column()));
  run.step(calc_rf(0));
  if (char* text = gg_add_slash("a,b#c")) std::free(text);
  if (char* field = get_columntext_text_field(1, 1)) std::free(field);
  run.step(gbr_code2text("Zs1h2", ",")[0]);
  put_pi(1, 1.0, 2.0, "label", "sheet", "", "", "");
  run.step(get_pi_tekst(1)[0]);
  clear_all_reptxt_pi();
  for (int code; (code = get_error_code()) != 0;) get_error_text(code);
  run.step(get_last_error_text()[0]);
  run.step(init_gef_for_editing(3, 10));
  run.step(set_data(2, 5, 1.5));
  set_columntext_text(4, "scan text");
  run.step(write_gef(paths.edited.c_str()));
  run.step(free_gef());
}

// A run that failed must say so: some step reported more errors than in the good run, or the
// failure left no list to report in. write_dif records nothing when it cannot create its file.
bool accounted(const Run& run, const Run& good) {
  if (run.results == good.results) return true;
  if (run.results.front() == 0) return true; // init_gef: no document, no list
  std::size_t first = 0;
  while (run.results[first] == good.results[first]) ++first;
  if (first == kWriteDifStep && run.results[first] == 0) return true;
  for (std::size_t i = 0; i < run.errors.size() && i < good.errors.size(); ++i)
    if (run.errors[i] > good.errors[i] || run.errors[i] == -1) return true;
  return false;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s GOOD.gef SCRATCH_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string scratch = argv[2];
  const Paths paths{argv[1], scratch + "/alloc_failure_out.gef", scratch + "/alloc_failure_out.dif",
                    scratch + "/alloc_failure_edit.gef"};
  if (const char* trap = std::getenv("GEF_ALLOC_FAILURE_TRAP")) g_trap_at = std::atol(trap);
  Run good, run;
  cycle(paths, good); // warms up whatever the runtime keeps for good
  g_calls = 0;
  g_fail_at = 0;
  cycle(paths, run);
  const long total = g_calls;
  g_calls = -1;
  if (run.results != good.results) {
    std::fprintf(stderr, "the cycle is not repeatable\n");
    return 1;
  }
  [[maybe_unused]] const long live = g_live;
  long failed_runs = 0, silent = 0;
  for (long n = 1; n <= total; ++n) {
    g_calls = 0;
    g_fail_at = n;
    try {
      cycle(paths, run);
    } catch (...) {
      std::fprintf(stderr, "allocation %ld: an exception left a C function\n", n);
      return 1;
    }
    g_calls = -1;
    if (run.results != good.results) ++failed_runs;
    if (!accounted(run, good)) {
      ++silent;
      std::size_t step = 0;
      while (step + 1 < run.results.size() && run.results[step] == good.results[step]) ++step;
      std::fprintf(stderr, "allocation %ld: step %zu failed without an error entry\n", n, step);
    }
    // The next cycle with memory to spare must succeed in full and leave nothing behind.
    free_gef();
    cycle(paths, run);
    if (run.results != good.results) {
      std::fprintf(stderr, "after allocation %ld failed, a good file no longer reads\n", n);
      return 1;
    }
#ifdef GEF_COUNT_LIVE
    if (g_live != live) {
      std::fprintf(stderr, "allocation %ld: %ld blocks leaked\n", n, g_live - live);
      return 1;
    }
#endif
  }
  std::printf("%ld allocation failure points exercised (%ld changed the outcome, %ld silently)\n",
              total, failed_runs, silent);
  return silent == 0 ? 0 : 1;
}
