// SPDX-License-Identifier: MIT
// Documents per thread: eight threads give what one thread gives, and the process document stays
// as it was for threads that never asked for their own.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gef/gef.h>

#include "support/files.h"

namespace gef::test {
namespace {

namespace fs = std::filesystem;

// Everything a caller sees of one file's round: read, checked, edited, written. Values are
// compared as text, so that NaN equals NaN.
struct Round {
  int read = -1, checked = -1, written = -1, scans = -1;
  std::string last_error, project, expansion, bytes, data;
  std::vector<int> errors;
  auto key() const {
    return std::tie(read, checked, written, scans, last_error, project, expansion, bytes, data,
                    errors);
  }
};

std::string text_of(const char* text) { return text != nullptr ? text : "(null)"; }

Round run_round(const fs::path& in, const fs::path& out, const std::string& codes) {
  Round r;
  EXPECT_EQ(init_gef(), 1);
  load_codetexts(codes.c_str());
  r.read = read_gef(in.string().c_str());
  r.scans = get_nr_scans();
  r.checked = test_gef("HEADER");
  r.expansion = text_of(gbr_code2text("Zs1h2", nullptr));
  set_projectname("checked on a thread of its own");
  r.project = text_of(get_projectname());
  r.written = write_gef(out.string().c_str());
  r.last_error = text_of(get_last_error_text());
  r.errors.resize(std::size_t(gef_copy_errors(nullptr, 0)) * 5);
  gef_copy_errors(r.errors.data(), int(r.errors.size() / 5));
  std::vector<double> data(std::size_t(gef_copy_data(nullptr, 0)));
  gef_copy_data(data.data(), static_cast<long long>(data.size()));
  char text[32];
  for (double v : data)
    r.data.append(text, std::size_t(std::snprintf(text, sizeof text, "%a ", v)));
  std::ifstream written(out, std::ios::binary);
  r.bytes.assign(std::istreambuf_iterator<char>(written), {});
  free_gef();
  return r;
}

std::vector<fs::path> inputs() {
  std::vector<fs::path> files = corpus_files();
  for (const auto& item : fs::directory_iterator(fs::path(GEF_SOURCE_DIR) / "examples"))
    if (item.path().extension() == ".gef") files.push_back(item.path());
  return files;
}

std::string code_file() { return (fs::path(GEF_SOURCE_DIR) / "data" / "soil_codes.txt").string(); }

TEST(ThreadDocument, EightThreadsGiveWhatOneThreadGives) {
  const std::vector<fs::path> files = inputs();
  ScratchDir scratch;
  std::vector<Round> alone;
  for (std::size_t i = 0; i < files.size(); ++i)
    alone.push_back(run_round(files[i], scratch.path() / ("one" + std::to_string(i)), code_file()));

  constexpr int kThreads = 8;
  std::vector<Round> together(files.size());
  std::atomic<int> opted{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      if (gef_thread_document(1) != 1) return;
      ++opted;
      for (std::size_t i = std::size_t(t); i < files.size(); i += kThreads)
        together[i] =
            run_round(files[i], scratch.path() / ("eight" + std::to_string(i)), code_file());
      gef_thread_document(0);
    });
  for (std::thread& thread : threads) thread.join();
  ASSERT_EQ(opted, kThreads);
  for (std::size_t i = 0; i < files.size(); ++i) {
    // The written file names differ, and so may the texts that quote them.
    together[i].last_error = alone[i].last_error;
    EXPECT_TRUE(together[i].key() == alone[i].key()) << files[i];
  }
}

TEST(ThreadDocument, AThreadThatNeverOptsInKeepsTheProcessDocument) {
  const std::vector<fs::path> files = inputs();
  ASSERT_FALSE(files.empty());
  ASSERT_EQ(init_gef(), 1);
  ASSERT_EQ(init_gef_general(3, 7), 1);
  set_projectname("the process document");
  set_data(2, 5, 42.5);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&files, t] {
      ASSERT_EQ(gef_thread_document(1), 1);
      ASSERT_EQ(gef_thread_document(1), 1);  // asking twice keeps the one document
      EXPECT_EQ(get_projectname(), nullptr); // nothing of the process document shows
      init_gef();
      read_gef(files[std::size_t(t) % files.size()].string().c_str());
      free_gef();
      EXPECT_EQ(gef_thread_document(0), 1);
    });
  for (std::thread& thread : threads) thread.join();
  std::string project;
  int scans = 0;
  double value = 0;
  std::thread([&] {
    project = text_of(get_projectname());
    scans = get_nr_scans();
    value = get_data(2, 5);
  }).join();
  EXPECT_EQ(project, "the process document");
  EXPECT_EQ(scans, 7);
  EXPECT_EQ(value, 42.5);
  free_gef();
}

} // namespace
} // namespace gef::test
