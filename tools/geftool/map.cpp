// SPDX-License-Identifier: MIT
// Builds the GeoJSON (RFC 7946: WGS84, longitude first) of a folder of soundings and borings.
#include "map.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <type_traits>

#include <nlohmann/json.hpp>

#include <gef/gef.h>

#include "common.h"
#include "facts.h"
#include "findings.h"
#include "inputs.h"
#include "location.h"
#include "parallel.h"
#include "reading.h"
#include "rule_sets.h"
#include "text.h"

namespace geftool {
namespace {

// Members keep their order: "type" first, as GeoJSON is usually written.
using json = nlohmann::ordered_json;

template <typename T> json value(const std::optional<T>& v) {
  if (!v) return json();
  // Numbers go out as dump and info write them, without the binary noise of sums.
  if constexpr (std::is_same_v<T, double>)
    return json(std::strtod(number_text(*v).c_str(), nullptr));
  else
    return json(*v);
}

// The short report name an engineer filters on: CPT, BORE or DISS, else the file's own code.
std::optional<std::string> report_short_name(const std::optional<std::string>& report_type) {
  if (!report_type) return std::nullopt;
  for (const char* name : {"DISS", "BORE", "CPT"})
    if (report_type->find(name) != std::string::npos) return std::string(name);
  return report_type;
}

// The most serious severity class among `findings` (1 severe .. 5 information), 0 for none.
int worst_class(const std::vector<Finding>& findings, int worst) {
  for (const Finding& f : findings) {
    const int cls = f.level % 10;
    if (cls >= 1 && cls <= 5 && (worst == 0 || cls < worst)) worst = cls;
  }
  return worst;
}

json feature(const std::string& path, const Facts& facts, const Wgs84& place, int worst) {
  json location_notes = json::array();
  for (const LocationFinding& f : place.findings) location_notes.push_back(f.text);
  return {{"type", "Feature"},
          {"geometry", {{"type", "Point"}, {"coordinates", {*place.longitude, *place.latitude}}}},
          {"properties",
           {{"file", path},
            {"test_id", value(facts.test_id)},
            {"report_type", value(report_short_name(facts.report_type))},
            {"date", value(facts.date)},
            {"final_depth", value(facts.final_penetration_length)},
            {"ground_level", value(facts.z)},
            {"height_system", value(facts.height_name)},
            {"x", value(facts.x)},
            {"y", value(facts.y)},
            {"system", value(facts.system_name)},
            {"worst_finding", worst > 0 ? json(class_name(worst)) : json()},
            {"location_notes", location_notes}}}};
}

} // namespace

int run_map(const MapOptions& options) {
  const std::vector<Input> inputs = collect_inputs(options.paths);
  if (inputs.empty()) {
    std::cerr << "geftool map: no .gef files found\n";
    return 2;
  }
  LibrarySession session;
  if (!session.ok()) return 2;
  json features = json::array();
  int status = 0;
  std::size_t left_off = 0;
  // A file's feature, or the status that tells why it is left off.
  struct Placed {
    std::optional<json> feature;
    int status = 0;
  };
  for_each_file<Placed>(
      inputs, options.jobs,
      [&](const Input& input, std::size_t) {
        const std::string path = to_utf8(input.path);
        std::string reason = input.problem;
        ReadResult read;
        if (reason.empty()) {
          read = read_document(input.path);
          if (!read.read) reason = "not read: " + unread_reason(read);
        }
        if (!reason.empty()) {
          diagnostics() << "geftool map: " << path << ": not on the map: " << reason << "\n";
          return Placed{std::nullopt, 2};
        }
        const Facts facts = gather_facts();
        const Wgs84 place = wgs84_of(facts);
        if (!place.longitude) {
          diagnostics() << "geftool map: " << path << ": not on the map: " << place.unusable
                        << "\n";
          return Placed{std::nullopt, 1};
        }
        for (const RuleSet* set : default_rule_sets(report_kind())) test_gef(set->name);
        bool truncated = false;
        const int worst = worst_class(collect_findings(&truncated), worst_class(read.findings, 0));
        return Placed{feature(path, facts, place, worst), 0};
      },
      [&](const Input&, Placed& p) {
        status = std::max(status, p.status);
        if (p.feature)
          features.push_back(std::move(*p.feature));
        else
          ++left_off;
        return true;
      });
  if (left_off > 0)
    std::cerr << "geftool map: " << features.size() << " of " << inputs.size()
              << " files on the map, " << left_off << " left off\n";

  const json collection = {{"type", "FeatureCollection"}, {"features", features}};
  const std::string text = collection.dump(1, ' ', false, json::error_handler_t::replace) + "\n";
  if (options.output.empty()) {
    std::cout << text;
    std::cout.flush();
    return status;
  }
  std::ofstream out(options.output, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out.flush()) {
    std::cerr << "geftool map: cannot write " << to_utf8(options.output) << "\n";
    return 2;
  }
  return status;
}

} // namespace geftool
