// SPDX-License-Identifier: MIT
// Reading one file for info, dump and summary so that what the library could not read is never
// passed over in silence.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "findings.h"

namespace geftool {

/// What reading one file left behind: whether it was read, the library's entries from reading and
/// the finding that cut the data block short, when one did.
struct ReadResult {
  bool read = false;
  std::vector<Finding> findings; ///< folded repeats, in recording order
  int scans = 0;                 ///< scans held after reading
  std::optional<Finding> data_loss;
};

/// The words geftool and the Python package print first for a file without a GEFID line.
inline constexpr const char* kNotGef = "not a GEF file (no #GEFID line)";

/// True when `path` is a file whose first 64 KiB hold no "#GEFID" (an empty file, a binary file,
/// text of another kind): the library's findings about such a file only confuse.
bool lacks_gefid(const std::string& path);

/// True for the data-block codes whose finding means scans of the file were not kept.
bool is_data_loss_code(int code);

/// True when `finding`, recorded while reading `path` into the current document, means scans of
/// the file were not kept; tolerated deviations that kept every scan are not losses.
bool is_data_loss(const Finding& finding, const std::string& path);

/// Reads `path` into the current document and takes the error list it left (the list is
/// empty afterwards, so later getters' entries are not mixed in).
ReadResult read_document(const std::string& path);

/// Tells stderr what `result` lost, as command `command`: the library's reasons when the file
/// was not read, "data read up to scan N: reason" when its data block was cut short. Returns the
/// exit status it stands for: 2 unreadable, 1 data lost, 0 complete.
int tell_losses(const char* command, const std::string& path, const ReadResult& result);

/// Prints the library's reasons among `findings` on stderr, one indented line each.
void tell_reasons(const std::vector<Finding>& findings);

/// Why the library did not read a file, for one-line reports: its first severe entry (others may
/// be mere side remarks of reading), else its first entry, else "not read".
std::string unread_reason(const ReadResult& result);

/// The loss of `result` as one line for tables, empty when the data block is complete.
std::string loss_text(const ReadResult& result);

} // namespace geftool
