// SPDX-License-Identifier: MIT
// Reads every file of a survey once, runs its default rule sets and prints the facts that sort
// the files: where, when, how deep, how complete.
#include "summary.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
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

const char* const kHeader[] = {
    "file",          "report_type",   "test_id", "x",           "y",
    "longitude",     "latitude",      "system",  "z",           "height_system",
    "date",          "date_source",   "scans",   "final_depth", "max_cone_resistance",
    "worst_finding", "data_complete", "problem"};

template <typename T> std::string cell(const std::optional<T>& v) {
  if (!v) return "";
  if constexpr (std::is_same_v<T, std::string>)
    return *v;
  else if constexpr (std::is_same_v<T, double>)
    return number_text(*v);
  else
    return std::to_string(*v);
}

template <typename T> nlohmann::json value(const std::optional<T>& v) {
  return v ? nlohmann::json(*v) : nlohmann::json();
}

struct Row {
  nlohmann::json json; // the row, for --json
  std::string line;    // the row, as CSV
  int status = 0;      // 2 unreadable, 1 incomplete or a severe or error finding, else 0
};

// Reads one file and makes its row.
Row summary_row(const Input& input, bool as_json) {
  Row row;
  const std::string path = to_utf8(input.path);
  ReadResult read;
  std::string problem = input.problem;
  if (problem.empty()) {
    read = read_document(input.path);
    tell_losses("summary", input.path, read);
    if (!read.read) problem = unread_reason(read);
  }
  Facts facts;
  int worst = 0; // most serious class among the findings, 0 for none
  auto take = [&](const std::vector<Finding>& findings) {
    for (const Finding& f : findings) {
      const int cls = f.level % 10;
      if (cls >= 1 && cls <= 5 && (worst == 0 || cls < worst)) worst = cls;
    }
  };
  take(read.findings);
  if (read.read) {
    facts = gather_facts();
    for (const RuleSet* set : default_rule_sets(report_kind())) test_gef(set->name);
    bool truncated = false;
    take(collect_findings(&truncated));
    if (read.data_loss) problem = loss_text(read);
  }
  const bool complete = read.read && !read.data_loss;
  row.status = !read.read ? 2 : (!complete || (worst >= 1 && worst <= 2)) ? 1 : 0;
  const std::optional<std::string> worst_name =
      worst > 0 ? std::optional<std::string>(class_name(worst)) : std::nullopt;
  const Wgs84 place = wgs84_of(facts);
  if (as_json) {
    row.json = {{"file", path},
                {"report_type", value(facts.report_type)},
                {"test_id", value(facts.test_id)},
                {"x", value(facts.x)},
                {"y", value(facts.y)},
                {"longitude", value(place.longitude)},
                {"latitude", value(place.latitude)},
                {"system_code", value(facts.system_code)},
                {"system", value(facts.system_name)},
                {"z", value(facts.z)},
                {"height_system", value(facts.height_name)},
                {"date", value(facts.date)},
                {"date_source", value(facts.date_source)},
                {"scans", read.read ? nlohmann::json(facts.scans) : nlohmann::json()},
                {"final_depth", value(facts.final_penetration_length)},
                {"max_cone_resistance", value(facts.max_cone_resistance)},
                {"worst_finding", value(worst_name)},
                {"data_complete", complete},
                {"problem", problem.empty() ? nlohmann::json() : nlohmann::json(problem)}};
    return row;
  }
  const std::optional<std::string> system =
      facts.system_name
          ? facts.system_name
          : (facts.system_code ? std::optional<std::string>(std::to_string(*facts.system_code))
                               : std::nullopt);
  const std::string cells[] = {path,
                               cell(facts.report_type),
                               cell(facts.test_id),
                               cell(facts.x),
                               cell(facts.y),
                               cell(place.longitude),
                               cell(place.latitude),
                               cell(system),
                               cell(facts.z),
                               cell(facts.height_name),
                               cell(facts.date),
                               cell(facts.date_source),
                               read.read ? std::to_string(facts.scans) : std::string(),
                               cell(facts.final_penetration_length),
                               cell(facts.max_cone_resistance),
                               cell(worst_name),
                               complete ? "yes" : "no",
                               problem};
  for (const std::string& c : cells) row.line += (row.line.empty() ? "" : ",") + csv_field(c);
  return row;
}

} // namespace

int run_summary(const std::vector<std::string>& paths, bool as_json, int jobs) {
  const std::vector<Input> inputs = collect_inputs(paths);
  if (inputs.empty()) {
    std::cerr << "geftool summary: no .gef files found\n";
    return 2;
  }
  LibrarySession session;
  if (!session.ok()) return 2;
  std::optional<JsonFiles> rows;
  if (as_json) rows.emplace(std::cout);
  if (!as_json) {
    std::string line;
    for (const char* name : kHeader) line += (line.empty() ? "" : ",") + std::string(name);
    std::cout << line << "\n";
  }
  int status = 0;
  for_each_file<Row>(
      inputs, jobs, [&](const Input& input, std::size_t) { return summary_row(input, as_json); },
      [&](const Input&, Row& row) {
        status = std::max(status, row.status);
        if (as_json)
          rows->add(row.json);
        else
          std::cout << row.line << "\n";
        return true;
      });
  if (as_json) rows->close({{"schema", 1}});
  std::cout.flush();
  return status;
}

} // namespace geftool
