// Allocation-failure loop: a full library cycle is repeated with its N-th allocation failing, for
// every N the cycle makes; each run must end in success or a reported error, without a crash or
// a leak, and a good file must read afterwards.
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include <gef/gef.h>

namespace {

// Counting is off (-1) outside the cycle; fail_at 0 never fails.
long g_calls = -1;
long g_fail_at = 0;

bool should_fail() {
  if (g_calls < 0) return false;
  return ++g_calls == g_fail_at;
}

} // namespace

#if defined(__SANITIZE_ADDRESS__)
#define GEF_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GEF_SANITIZED 1
#endif
#endif

// The library asks for its storage with nothrow new (blocks, lists, holders), made to fail here;
// the memory comes from the ordinary operator new so that the sanitizers pair it with delete.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (should_fail()) return nullptr;
  try {
    return ::operator new(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (should_fail()) return nullptr;
  try {
    return ::operator new[](size);
  } catch (...) {
    return nullptr;
  }
}

// The texts handed to callers come from malloc and calloc, failed here too where the sanitizers
// do not own those names.
#if !defined(GEF_SANITIZED) && defined(__GLIBC__)
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* malloc(std::size_t size) { return should_fail() ? nullptr : __libc_malloc(size); }
void* calloc(std::size_t n, std::size_t size) {
  return should_fail() ? nullptr : __libc_calloc(n, size);
}
}

// The standard containers' allocations are not failed: they would throw through the C functions,
// which the library does not promise to survive. They bypass the counting malloc.
void* operator new(std::size_t size) {
  if (void* p = __libc_malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* p = __libc_malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
#endif

namespace {

// One cycle over a real file: read, every rule set, write, edit, column operations, free.
int cycle(const std::string& input, const std::string& output) {
  if (init_gef() != 1) return 0;
  int ok = read_gef(input.c_str());
  for (const char* rules : {"HEADER", "GEF-CPT-Report", "GEF-BORE-Report", "DATA"}) test_gef(rules);
  ok &= write_gef(output.c_str());
  set_comment("allocation failure loop");
  set_measurementtext(7, "text", "information");
  del_measurementtext(7);
  add_data_column("m", "extra", 99, -9999.0);
  calc_all_columnminmax();
  delete_column(get_column());
  if (char* text = gg_add_slash("a,b#c")) std::free(text);
  if (char* field = get_columntext_text_field(1, 1)) std::free(field);
  put_pi(1, 1.0, 2.0, "label", "sheet", "", "", "");
  for (int code; (code = get_error_code()) != 0;) get_error_text(code);
  free_gef();
  return ok;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s GOOD.gef SCRATCH_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string input = argv[1];
  const std::string output = std::string(argv[2]) + "/alloc_failure_out.gef";
  g_calls = 0;
  g_fail_at = 0;
  if (cycle(input, output) != 1) {
    std::fprintf(stderr, "the cycle fails without any allocation failing\n");
    return 1;
  }
  const long total = g_calls;
  for (long n = 1; n <= total; ++n) {
    g_calls = 0;
    g_fail_at = n;
    cycle(input, output); // success or a reported error; a crash or leak ends the program
    g_calls = -1;
    // The next cycle with memory to spare must succeed in full.
    if (cycle(input, output) != 1) {
      std::fprintf(stderr, "after allocation %ld failed, a good file no longer reads\n", n);
      return 1;
    }
  }
  std::printf("%ld allocation failure points exercised\n", total);
  return 0;
}
