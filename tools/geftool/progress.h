// SPDX-License-Identifier: MIT
// A progress line on the terminal for commands that walk many files.
#pragma once

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <io.h>
#define GEFTOOL_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define GEFTOOL_ISATTY(f) isatty(fileno(f))
#endif

namespace geftool {

/// A one-line "[i/n] file" on the terminal's stderr, so that long runs show they are moving.
class Progress {
public:
  explicit Progress(std::size_t total)
      : total_(total), enabled_(total > 1 && GEFTOOL_ISATTY(stderr) != 0) {}
  void show(std::size_t index, const std::string& path) {
    if (!enabled_) return;
    std::string line = "[" + std::to_string(index + 1) + "/" + std::to_string(total_) + "] " + path;
    if (line.size() > 78) line = line.substr(0, 75) + "...";
    clear();
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    width_ = line.size();
  }
  void clear() {
    if (!enabled_ || width_ == 0) return;
    std::fprintf(stderr, "\r%*s\r", int(width_), "");
    std::fflush(stderr);
    width_ = 0;
  }

private:
  std::size_t total_;
  bool enabled_;
  std::size_t width_ = 0;
};

} // namespace geftool
