// SPDX-License-Identifier: MIT
// Reads each file, runs the chosen rule sets and prints the findings grouped by level.
#include "check.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>

#include <nlohmann/json.hpp>

#include <gef/gef.h>

#include "common.h"
#include "facts.h"
#include "findings.h"
#include "inputs.h"
#include "json_files.h"
#include "location.h"
#include "parallel.h"
#include "reading.h"
#include "rule_sets.h"
#include "text.h"

namespace geftool {
namespace {

enum class Status { Ok, Failed, Unreadable };

struct FileResult {
  std::string path; // UTF-8
  Status status = Status::Ok;
  std::string problem; // why the file could not be read, when it could not
  ReportKind kind = ReportKind::None;
  std::vector<std::string> rules;
  std::vector<Finding> findings;
  bool truncated = false;
  int scans = 0;
  std::string data_loss; // "data read up to scan N: reason" when the data block was cut short
  int counts[6] = {};    // by severity class 1..5; index 0 counts entries of unknown level
  std::vector<LocationFinding> location; // doubts about XYID; they never fail the file
};

const char* status_name(Status s) {
  switch (s) {
  case Status::Ok: return "ok";
  case Status::Failed: return "failed";
  default: return "unreadable";
  }
}

// Whether the data block can be used, apart from how well the file follows the rules.
const char* data_name(const FileResult& r) {
  if (r.status == Status::Unreadable) return "unreadable";
  return r.data_loss.empty() ? "complete" : "read short";
}

std::vector<const RuleSet*> chosen_sets(const CheckOptions& options, ReportKind kind) {
  if (options.rules.empty()) return default_rule_sets(kind);
  std::vector<const RuleSet*> sets;
  for (const std::string& name : options.rules) {
    const RuleSet* set = find_rule_set(name);
    if (set != nullptr) sets.push_back(set);
  }
  return sets;
}

FileResult check_file(const Input& input, const CheckOptions& options) {
  FileResult result;
  result.path = to_utf8(input.path);
  if (!input.problem.empty()) {
    result.status = Status::Unreadable;
    result.problem = input.problem;
    return result;
  }
  const bool read = read_gef(input.path.c_str()) == 1;
  if (read) {
    result.scans = std::max(get_nr_scans(), 0);
    result.kind = report_kind();
    for (const RuleSet* set : chosen_sets(options, result.kind)) {
      test_gef(set->name);
      result.rules.push_back(set->name);
    }
  } else {
    result.problem = lacks_gefid(input.path) ? kNotGef : "the library could not read it";
  }
  result.findings = fold_repeats(collect_findings(&result.truncated));
  // The location's findings need the header alone: reading every column cost more than the rules.
  if (read) result.location = wgs84_of(gather_facts(false), true).findings;
  for (const Finding& f : result.findings) {
    if (read && result.data_loss.empty() && is_data_loss(f, input.path))
      result.data_loss = "data read up to scan " + std::to_string(result.scans) + ": " + f.text;
    const int cls = f.level % 10;
    result.counts[cls >= 1 && cls <= 5 ? cls : 0] += f.count;
  }
  if (!read)
    result.status = Status::Unreadable;
  else if (!result.data_loss.empty())
    result.status = Status::Failed;
  for (int cls = 1; cls <= options.fail_on && read; ++cls)
    if (result.counts[cls] > 0) result.status = Status::Failed;
  return result;
}

std::string summary_line(const FileResult& r) {
  std::string line = r.path + ": " + status_name(r.status) + "; data: " + data_name(r);
  if (!r.problem.empty())
    line += " (" + r.problem + ")";
  else if (r.status != Status::Unreadable)
    line +=
        r.data_loss.empty() ? " (" + std::to_string(r.scans) + " scans)" : " (" + r.data_loss + ")";
  line += "; rules";
  for (std::size_t i = 0; i < r.rules.size(); ++i) line += (i ? ", " : " ") + r.rules[i];
  line += ":";
  for (int cls = 1; cls <= 5; ++cls)
    line += std::string(cls > 1 ? "," : "") + " " + std::to_string(r.counts[cls]) + " " +
            class_name(cls);
  if (r.counts[0] > 0) line += ", " + std::to_string(r.counts[0]) + " of unknown level";
  if (r.truncated) line += " (the list was full: later findings were dropped)";
  if (!r.location.empty()) line += "; location findings " + std::to_string(r.location.size());
  return line;
}

void print_plain(const FileResult& r, bool quiet) {
  if (!quiet && (!r.findings.empty() || !r.location.empty())) {
    std::cout << r.path << (r.problem == kNotGef ? std::string(": ") + kNotGef : "") << "\n";
    std::vector<int> levels(std::begin(kLevels), std::end(kLevels));
    levels.push_back(0);
    for (int level : levels) {
      bool heading = false;
      for (const Finding& f : r.findings) {
        if (f.level != level) continue;
        if (!heading) std::cout << "  " << level_name(level) << " (" << level << ")\n";
        heading = true;
        std::cout << "    " << f.text;
        if (f.count > 1) std::cout << " (" << f.count << " times)";
        std::cout << "\n";
      }
    }
    print_location_findings(r.location);
  }
  std::cout << summary_line(r) << "\n";
}

nlohmann::json to_json(const FileResult& r, bool quiet) {
  nlohmann::json j;
  j["path"] = r.path;
  j["status"] = status_name(r.status);
  j["read"] = r.status != Status::Unreadable;
  if (!r.problem.empty()) j["problem"] = r.problem;
  j["report"] = r.kind == ReportKind::None ? nlohmann::json() : report_kind_name(r.kind);
  j["rules"] = r.rules;
  nlohmann::json counts = nlohmann::json::object();
  for (int cls = 1; cls <= 5; ++cls) counts[class_name(cls)] = r.counts[cls];
  if (r.counts[0] > 0) counts["unknown"] = r.counts[0];
  j["counts"] = counts;
  j["truncated"] = r.truncated;
  j["scans"] = r.scans;
  j["data"] = data_name(r);
  j["data_complete"] = r.status != Status::Unreadable && r.data_loss.empty();
  j["data_loss"] = r.data_loss.empty() ? nlohmann::json() : nlohmann::json(r.data_loss);
  if (!quiet) {
    nlohmann::json list = nlohmann::json::array();
    for (const Finding& f : r.findings)
      list.push_back({{"code", f.code},
                      {"level", f.level},
                      {"level_name", level_name(f.level)},
                      {"class", f.level % 10},
                      {"class_name", class_name(f.level % 10)},
                      {"text", f.text},
                      {"message", f.text},
                      {"count", f.count}});
    j["findings"] = list;
    j["location"] = location_findings_json(r.location);
  }
  return j;
}

// The section of the log for one file: the library's log of the current document, headed by the
// file when several files share one log; for a file the library never saw, the reason.
std::string log_section(const Input& input, const FileResult& r, bool several,
                        const std::string& scratch_log) {
  std::string section = several || !input.problem.empty() ? "=== " + r.path + " ===\r\n" : "";
  if (!input.problem.empty()) return section + r.problem + "\r\n";
  std::remove(scratch_log.c_str());
  write_error_log(scratch_log.c_str());
  std::ifstream in(scratch_log, std::ios::binary);
  section.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  in.close();
  std::remove(scratch_log.c_str());
  return section;
}

} // namespace

int run_check(const CheckOptions& options) {
  bool argument_error = false;
  for (const std::string& name : options.rules) {
    const RuleSet* set = find_rule_set(name);
    if (set == nullptr) {
      std::cerr << "geftool check: unknown rule set '" << to_utf8(name) << "' (known:";
      for (const RuleSet& s : rule_sets()) std::cerr << " " << s.name;
      std::cerr << ")\n";
      argument_error = true;
    }
  }
  if (argument_error) return 2;

  std::ofstream log;
  if (!options.log.empty()) {
    log.open(options.log, std::ios::binary | std::ios::trunc);
    if (!log) {
      std::cerr << "geftool check: cannot write log file " << to_utf8(options.log) << "\n";
      return 2;
    }
  }

  const std::vector<Input> inputs = collect_inputs(options.paths);
  if (inputs.empty()) {
    std::cerr << "geftool check: no .gef files found\n";
    return 2;
  }

  LibrarySession session;
  if (!session.ok()) {
    std::cerr << "geftool check: the library could not start\n";
    return 2;
  }
  struct Checked {
    FileResult result;
    std::string log; // the file's section of the log, when one is written
  };
  std::optional<JsonFiles> files;
  if (options.json) files.emplace(std::cout);
  int ok = 0, failed = 0, unreadable = 0;
  for_each_file<Checked>(
      inputs, options.jobs,
      [&](const Input& input, std::size_t i) {
        Checked c{check_file(input, options), ""};
        if (log.is_open())
          c.log = log_section(input, c.result, inputs.size() > 1,
                              scratch_path("check-" + std::to_string(i) + ".log"));
        return c;
      },
      [&](const Input&, Checked& c) {
        const FileResult& r = c.result;
        if (log.is_open()) log << c.log << std::flush;
        if (options.json)
          files->add(to_json(r, options.quiet));
        else
          print_plain(r, options.quiet);
        switch (r.status) {
        case Status::Ok: ++ok; break;
        case Status::Failed: ++failed; break;
        case Status::Unreadable: ++unreadable; break;
        }
        return true;
      });

  if (options.json) {
    files->close(
        {{"schema", 1},
         {"summary",
          {{"files", inputs.size()}, {"ok", ok}, {"failed", failed}, {"unreadable", unreadable}}}});
  } else if (inputs.size() > 1) {
    std::cout << "checked " << inputs.size() << " files: " << ok << " ok, " << failed << " failed, "
              << unreadable << " unreadable\n";
  }
  std::cout.flush();
  if (unreadable > 0) return 2;
  return failed > 0 ? 1 : 0;
}

} // namespace geftool
