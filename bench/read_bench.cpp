// SPDX-License-Identifier: MIT
// Measures how fast read_gef reads a large text CPT file and a folder of real files.
//
// The large file is compared in the same run with two yardsticks: the bare reader (the least any
// reader must do: one read of the whole file into a fresh buffer, every number converted with
// std::from_chars into a fresh array of doubles) and the bare parse (the same conversion over
// bytes already in memory, storing nothing), so the ratios say what the reader adds.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gef/gef.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Options {
  double megabytes = 40;
  int passes = 5;
  int corpus_passes = 20;
  fs::path corpus;
  bool keep = false;
};

const char kHeader[] = "#GEFID= 1, 1, 0\r\n"
                       "#FILEOWNER= Benchmark Field Services\r\n"
                       "#FILEDATE= 2024, 3, 18\r\n"
                       "#PROJECTID= CPT, 24-017, 1\r\n"
                       "#PROJECTNAME= Read benchmark\r\n"
                       "#COMPANYID= Benchmark Field Services, 123456789, 31\r\n"
                       "#TESTID= BENCH-01\r\n"
                       "#STARTDATE= 2024, 3, 14\r\n"
                       "#STARTTIME= 9, 41, 12.0\r\n"
                       "#PROCEDURECODE= GEF-CPT-Report, 1, 1, 0, -\r\n"
                       "#REPORTCODE= GEF-CPT-Report, 1, 1, 0, -\r\n"
                       "#COLUMN= 5\r\n"
                       "#COLUMNINFO= 1, m, penetration length, 1\r\n"
                       "#COLUMNINFO= 2, MPa, cone resistance, 2\r\n"
                       "#COLUMNINFO= 3, MPa, local friction, 3\r\n"
                       "#COLUMNINFO= 4, %, friction ratio, 4\r\n"
                       "#COLUMNINFO= 5, MPa, pore pressure u2, 6\r\n"
                       "#COLUMNVOID= 1, -9999.000\r\n"
                       "#COLUMNVOID= 2, -9999.000\r\n"
                       "#COLUMNVOID= 3, -9999.000\r\n"
                       "#COLUMNVOID= 4, -9999.000\r\n"
                       "#COLUMNVOID= 5, -9999.000\r\n"
                       "#XYID= 31000, 132470.25, 457823.60, 0.05, 0.05\r\n"
                       "#ZID= 31000, 1.35, 0.02\r\n"
                       "#MEASUREMENTTEXT= 4, EX-C10-0412, cone type and serial number\r\n"
                       "#MEASUREMENTVAR= 1, 1000, mm2, cone tip area\r\n"
                       "#MEASUREMENTVAR= 2, 15000, mm2, friction sleeve area\r\n"
                       "#REPORTDATAFORMAT= F9.3 F8.3 F8.4 F7.2 F8.4\r\n"
                       "#EOH=\r\n";

// Writes a CPT file of about `bytes` bytes: five blank-separated columns of fixed-point numbers.
std::string make_cpt_file(std::size_t bytes) {
  std::string text(kHeader);
  text.reserve(bytes + 128);
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  char line[128];
  for (long scan = 1; text.size() < bytes; ++scan) {
    const double depth = scan * 0.001;
    const double qc = 0.2 + 25.0 * unit(random);
    const double fs_ = 0.005 + 0.3 * unit(random);
    const int n = std::snprintf(line, sizeof line, "%.3f %.3f %.4f %.2f %.4f\r\n", depth, qc, fs_,
                                100.0 * fs_ / qc, 0.5 * unit(random) - 0.05);
    text.append(line, std::size_t(n));
  }
  return text;
}

bool write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Every number of the data block parsed with std::from_chars and summed, nothing else: the
// lower bound of what any text reader must do.
double bare_parse(const std::string& file, long* count) {
  const char* p = file.data() + file.find("#EOH=");
  p = static_cast<const char*>(std::memchr(p, '\n', std::size_t(file.data() + file.size() - p))) +
      1;
  const char* end = file.data() + file.size();
  double sum = 0;
  long n = 0;
  while (p < end) {
    while (p < end && (*p == ' ' || *p == '\r' || *p == '\n' || *p == '\t')) ++p;
    if (p == end) break;
    double v = 0;
    const auto r = std::from_chars(p, end, v);
    if (r.ec != std::errc()) break;
    sum += v;
    ++n;
    p = r.ptr;
  }
  *count = n;
  return sum;
}

// Whether a byte can start a number; the bare reader skips every other byte, whatever the
// separators are.
bool starts_number(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.'; }

// The bare reader: what every reader of a text data block must do at the least, with buffer
// and array fresh on every pass as a reader's are. `values` sizes the array. Returns the sum of
// the values stored, or -1 when the file cannot be read.
double bare_read(const fs::path& path, long values, long* count) {
  std::FILE* f = std::fopen(path.string().c_str(), "rb");
  if (f == nullptr) return -1;
  std::fseek(f, 0, SEEK_END);
  const long size = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  std::unique_ptr<char[]> buffer(new char[std::size_t(size)]);
  const std::size_t got = std::fread(buffer.get(), 1, std::size_t(size), f);
  std::fclose(f);
  const char* p = buffer.get();
  const char* end = p + got;
  const std::string_view text(p, got);
  const std::size_t header_end = text.find("#EOH=");
  if (header_end == std::string_view::npos) return -1;
  p = static_cast<const char*>(std::memchr(p + header_end, '\n', got - header_end)) + 1;
  std::unique_ptr<double[]> data(new double[std::size_t(values)]);
  long n = 0;
  while (p < end && n < values) {
    while (p < end && !starts_number(*p)) ++p;
    if (p == end) break;
    const auto r = std::from_chars(p, end, data[std::size_t(n)]);
    if (r.ec != std::errc()) break;
    ++n;
    p = r.ptr;
  }
  *count = n;
  double sum = 0;
  for (long i = 0; i < n; i += 4096) sum += data[std::size_t(i)]; // keep the stores
  return sum;
}

bool parse_options(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == "--mb" && has_value) {
      o.megabytes = std::atof(argv[++i]);
    } else if (a == "--passes" && has_value) {
      o.passes = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--corpus-passes" && has_value) {
      o.corpus_passes = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--corpus" && has_value) {
      o.corpus = argv[++i];
    } else if (a == "--keep") {
      o.keep = true;
    } else {
      std::fprintf(stderr,
                   "usage: %s [--mb N] [--passes N] [--corpus DIR] [--corpus-passes N] [--keep]\n",
                   argv[0]);
      return false;
    }
  }
  return true;
}

// Large-file throughput of read_gef against the bare loop; false when the target is missed.
bool bench_large_file(const Options& o) {
  const fs::path dir = fs::temp_directory_path() / "gef_read_bench";
  fs::create_directories(dir);
  const fs::path path = dir / "large_cpt.gef";
  const std::string file = make_cpt_file(std::size_t(o.megabytes * 1e6));
  if (!write_file(path, file)) {
    std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
    return false;
  }
  const double mb = double(file.size()) / 1e6;
  std::printf("large file: %s, %.1f MB\n", path.string().c_str(), mb);

  // Best of several passes: the least disturbed run is the one that tells the code's speed.
  long values = 0;
  double checksum = bare_parse(file, &values); // counts the values the bare reader stores
  double best_read = 1e30, best_bare = 1e30, best_parse = 1e30;
  int scans = 0;
  long stored = 0;
  for (int pass = 0; pass < o.passes; ++pass) {
    const auto t0 = Clock::now();
    if (read_gef(path.string().c_str()) != 1) {
      std::fprintf(stderr, "read_gef failed: %s\n", get_last_error_text());
      return false;
    }
    best_read = std::min(best_read, seconds_since(t0));
    scans = get_nr_scans();

    const auto t1 = Clock::now();
    checksum += bare_read(path, values, &stored);
    best_bare = std::min(best_bare, seconds_since(t1));

    // The bare parse gets the file's bytes already in memory and stores nothing.
    const auto t2 = Clock::now();
    checksum += bare_parse(file, &values);
    best_parse = std::min(best_parse, seconds_since(t2));
  }
  const double read_rate = mb / best_read;
  const double ratio = read_rate / (mb / best_bare), parse_ratio = read_rate / (mb / best_parse);
  std::printf("  read_gef:            %8.1f MB/s  (%.1f ms, %d scans)\n", read_rate,
              best_read * 1e3, scans);
  std::printf("  bare reader:         %8.1f MB/s  (%.1f ms, %ld values stored)\n", mb / best_bare,
              best_bare * 1e3, stored);
  std::printf("  bare parse:          %8.1f MB/s  (%.1f ms, in memory, nothing stored, checksum "
              "%.6g)\n",
              mb / best_parse, best_parse * 1e3, checksum);
  std::printf("  ratio to bare reader:%8.2f  (target >= 1.00: %s)\n", ratio,
              ratio >= 1.0 ? "met" : "MISSED");
  std::printf("  ratio to bare parse: %8.2f\n", parse_ratio);
  if (!o.keep) {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
  return ratio >= 1.0;
}

// A CPT file names a CPT report in its PROCEDURECODE or REPORTCODE header line.
bool is_cpt_file(const fs::path& path) {
  std::string text = read_file(path);
  const std::size_t eoh = text.find("#EOH=");
  if (eoh != std::string::npos) text.resize(eoh);
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::toupper(c)); });
  for (const char* keyword : {"#PROCEDURECODE", "#REPORTCODE"}) {
    for (std::size_t at = text.find(keyword); at != std::string::npos;
         at = text.find(keyword, at + 1)) {
      const std::size_t line_end = text.find('\n', at);
      if (text.substr(at, line_end - at).find("CPT") != std::string::npos) return true;
    }
  }
  return false;
}

// Milliseconds per corpus CPT file that read_gef took before the speed work (commit 7c54a29),
// measured beside this one on the two-core development machine; the target is half of it. On
// another day, on a quieter machine, it was read as 0.15 ms: compare figures of the same hour.
constexpr double kCorpusBefore = 0.233;

// Milliseconds per CPT file of the corpus, everything read_gef does included; false when the
// target is missed.
bool bench_corpus(const Options& o) {
  if (!fs::is_directory(o.corpus)) {
    std::printf("corpus: %s not found, skipped\n", o.corpus.string().c_str());
    return true;
  }
  std::vector<std::string> files;
  std::uintmax_t bytes = 0;
  for (const auto& item : fs::recursive_directory_iterator(o.corpus)) {
    if (!item.is_regular_file()) continue;
    std::string ext = item.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (ext != ".gef" || !is_cpt_file(item.path())) continue;
    files.push_back(item.path().string());
    bytes += item.file_size();
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    std::printf("corpus: no CPT files in %s, skipped\n", o.corpus.string().c_str());
    return true;
  }
  std::printf("corpus: %s, %zu CPT files (PROCEDURECODE or REPORTCODE naming CPT), %.2f MB\n",
              o.corpus.string().c_str(), files.size(), double(bytes) / 1e6);

  int read_ok = 0;
  std::vector<long> sizes; // values per file at most, the bare reader's array size
  for (const std::string& f : files) {
    read_ok += read_gef(f.c_str());                  // also warms the file cache
    sizes.push_back(long(fs::file_size(f) / 2 + 1)); // a value and its separator take two bytes
  }
  double best = 1e30, best_bare = 1e30, checksum = 0;
  long stored = 0;
  for (int pass = 0; pass < o.corpus_passes; ++pass) {
    const auto t0 = Clock::now();
    for (const std::string& f : files) read_gef(f.c_str());
    best = std::min(best, seconds_since(t0));
    const auto t1 = Clock::now();
    for (std::size_t i = 0; i < files.size(); ++i)
      checksum += bare_read(files[i], sizes[i], &stored);
    best_bare = std::min(best_bare, seconds_since(t1));
  }
  const double per_file = best * 1e3 / double(files.size());
  const double bare_per_file = best_bare * 1e3 / double(files.size());
  std::printf("  read_gef:            %8.3f ms per file  (%d of %zu read with result 1, best of "
              "%d passes)\n",
              per_file, read_ok, files.size(), o.corpus_passes);
  std::printf("  bare reader:         %8.3f ms per file  (checksum %.6g)\n", bare_per_file,
              checksum);
  std::printf("  ratio to bare reader:%8.2f\n", bare_per_file / per_file);
  std::printf("  target <= %.3f ms (half of %.3f ms before the speed work): %s\n",
              kCorpusBefore / 2, kCorpusBefore, per_file <= kCorpusBefore / 2 ? "met" : "MISSED");
  return per_file <= kCorpusBefore / 2;
}

} // namespace

int main(int argc, char** argv) {
  Options o;
  o.corpus = fs::path(GEF_SOURCE_DIR) / ".." / "shared" / "corpus";
  if (!parse_options(argc, argv, o)) return 2;
  if (init_gef() != 1) {
    std::fprintf(stderr, "init_gef failed\n");
    return 1;
  }
  const bool large = bench_large_file(o);
  const bool corpus = bench_corpus(o);
  free_gef();
  return large && corpus ? 0 : 1;
}
