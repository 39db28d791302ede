// SPDX-License-Identifier: MIT
// Runs geftool as a process and checks what a person or a script sees: output, JSON and exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "gef/error_codes.h"
#include "support/files.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

struct Outcome {
  int status = -1; // exit code; 128 + signal number when the process was killed
  std::string out, err;
};

using gef::test::slurp_file;

std::string q(const std::string& s) { return "\"" + s + "\""; }
std::string example(const std::string& name) { return GEF_SOURCE_DIR "/examples/" + name; }
std::string data(const std::string& name) { return GEF_SOURCE_DIR "/tests/geftool/data/" + name; }
const std::string kBasic = q(example("cpt_basic.gef")), kBoring = q(example("boring_layers.gef")),
                  kSeparators = q(example("cpt_separators.gef")),
                  kBinary = q(example("cpt_binary.gef")), kFaults = q(data("header_faults.gef")),
                  kCptFaults = q(data("cpt_faults.gef")), kNotGef = q(data("not_gef.gef")),
                  kCp1252 = q(data("cp1252.gef"));

std::string without_cr(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
  return s;
}

// Checks that `text` holds each of `wanted` in the order given; "!x" asks that x is absent, "^x"
// that the text starts with x, and a lone "!" that the text is empty.
void expect_in_order(const std::string& text, const std::vector<std::string>& wanted) {
  std::size_t at = 0;
  for (const std::string& w : wanted) {
    if (w == "!") {
      EXPECT_TRUE(text.empty()) << text;
    } else if (w[0] == '!') {
      EXPECT_EQ(text.find(w.substr(1)), std::string::npos) << w << "\n" << text;
    } else if (w[0] == '^') {
      EXPECT_EQ(text.rfind(w.substr(1), 0), 0u) << w << "\n" << text.substr(0, 400);
    } else {
      const std::size_t found = text.find(w, at);
      EXPECT_NE(found, std::string::npos) << w << "\n" << text;
      if (found != std::string::npos) at = found + w.size();
    }
  }
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Codes and levels of a file's findings, in order.
std::vector<std::pair<int, int>> codes_and_levels(const json& file) {
  std::vector<std::pair<int, int>> found;
  for (const json& f : file["findings"]) found.emplace_back(f["code"], f["level"]);
  return found;
}

class GeftoolTest : public testing::Test {
protected:
  Outcome geftool(const std::string& arguments) {
    const std::string out = (dir() / "stdout.txt").string();
    const std::string err = (dir() / "stderr.txt").string();
#ifdef _WIN32
    // cmd.exe strips the first and last quote of the whole line.
    const std::string command =
        q(q(GEFTOOL_EXE) + " " + arguments + " <NUL >" + q(out) + " 2>" + q(err));
#else
    const std::string command =
        q(GEFTOOL_EXE) + " " + arguments + " </dev/null >" + q(out) + " 2>" + q(err);
#endif
    Outcome run;
    // The files of the run before go first, so that a shell that never started cannot leave
    // that run's output behind as this one's.
    std::remove(out.c_str());
    std::remove(err.c_str());
    int raw = std::system(command.c_str());
#ifdef _WIN32
    // Under a loaded emulator the shell now and then fails to start the program at all; that
    // says nothing about geftool, so such a start is tried once more.
    if (raw != 0 && (!std::filesystem::exists(out) ||
                     slurp_file(err).find("Can't recognize") != std::string::npos))
      raw = std::system(command.c_str());
    run.status = raw;
#else
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + (WIFSIGNALED(raw) ? WTERMSIG(raw) : 0);
#endif
    // Windows writes text-mode line ends as CR LF; the content is what is compared here.
    run.out = without_cr(slurp_file(out));
    run.err = without_cr(slurp_file(err));
    return run;
  }

  json parsed(const Outcome& run) {
    try {
      return json::parse(run.out);
    } catch (const json::exception& e) {
      ADD_FAILURE() << "not JSON: " << e.what() << "\n" << run.out;
      return json();
    }
  }
  json run_json(const std::string& arguments) { return parsed(geftool(arguments)); }

  // A copy of `source` with its first `from` replaced by `to`, as a quoted path.
  std::string variant(const std::string& source, const std::string& from, const std::string& to,
                      const std::string& name) {
    std::string text = slurp_file(source);
    text.replace(text.find(from), from.size(), to);
    return q(scratch_.write(name, text));
  }

  // The faulty CPT report with a scan that is not a number, or with no scan readable at all.
  std::string short_file() {
    return variant(data("cpt_faults.gef"), "0.04 2.0\r\n0.06 2.4", "0.06 x", "cpt_short.gef");
  }
  std::string no_data() {
    return variant(data("cpt_faults.gef"),
                   "0.02 1.0\r\n0.04 1.5\r\n0.04 2.0\r\n0.06 2.4\r\n0.08 2.6",
                   "0.02; 1.0\r\n0.04; 1.5", "cpt_no_data.gef");
  }
  // The example as GEFID 1.0.0, and a CPT report of a version no one knows.
  std::string old() {
    return variant(example("cpt_basic.gef"), "1, 1, 0, -", "1, 0, 0, -", "old.gef");
  }
  std::string unknown() {
    return variant(data("cpt_faults.gef"), "1, 1, 0, -", "1, 2, 0, -", "new.gef");
  }
  std::string path(const std::string& name) const { return q((dir() / name).string()); }

  const fs::path& dir() const { return scratch_.path(); }
  gef::test::ScratchDir scratch_;
};

// Each command's exit status and what it prints: the contract with people and scripts (the
// README's examples, run by tests/docs, show the full output of check, info, summary and dump).
TEST_F(GeftoolTest, ExitStatusAndOutputOfEveryCommand) {
  struct Run {
    std::string arguments;
    int status;
    std::vector<std::string> out = {}, err = {}; // see expect_in_order
  };
  const std::string absent = path("absent.gef"), out = path("out.gef"), old = this->old(),
                    cpt_short = short_file();
  const std::string missing = q((dir() / "missing" / "out.gef").string());
  const std::string lossy = path("lossy.gef");
  fs::create_directories(dir() / "empty");
  const std::string surplus =
      variant(example("cpt_basic.gef"), "#MEASUREMENTTEXT= 9,",
              "#MEASUREMENTTEXT= 5, 2019, 01, 29\r\n#MEASUREMENTTEXT= 9,", "surplus.gef");
  const std::string codes = q(scratch_.write("codes.txt", "ZS2G1;my sand;\nZ;zand;\nS2;siltig;\n"
                                                          "G1;grindig;\n"));
  // Numbers as engineers write them: no exponent between 1e-5 and 1e15.
  const std::string utm = q(scratch_.write(
      "utm.gef", "#GEFID= 1, 1, 0\r\n#XYID= 32631, 600000, 5700000\r\n#COLUMN= 1\r\n"
                 "#COLUMNINFO= 1, m, penetration length, 1\r\n#EOH=\r\n0.00001\r\n100000\r\n"));
  const std::string lost = "data read up to scan 2: GEF-DATA: Unknown data entry is found in scan "
                           "3, column 1.";
  const std::string cpt_columns =
      "^penetration_length_m,cone_resistance_MPa,local_friction_MPa,friction_ratio_pct\n";
  // clang-format off
  const Run runs[] = {
      {"check " + kBasic + " " + kBoring, 0,
       {"cpt_basic.gef: ok", "boring_layers.gef: ok", "checked 2 files: 2 ok, 0 failed, 0 unreadable"}},
      // Findings recorded interleaved (1, 3, 2, 2, 1) land under their levels, most serious first.
      {"check " + kFaults, 1,
       {"GEF SEVERE (1)", "Keyword FILEOWNER is missing.", "Keyword PROJECTID is missing.",
        "GEF ERROR (2)", "the number of the month 13", "GEF MINOR (3)",
        "the year 24 is not Y2k compliant",
        "header_faults.gef: failed; data: complete (3 scans); rules HEADER, DATA: 2 severe, 2 "
        "error, 1 minor, 0 warning, 0 information"}},
      // Data usable apart from conformance: --fail-on sets the finding that fails, data read
      // short always fail.
      {"check --fail-on severe " + kCptFaults, 0},
      {"check --fail-on minor " + kCptFaults, 1},
      {"check --fail-on never " + kFaults, 0},
      {"check --fail-on never " + cpt_short, 1, {"cpt_short.gef: failed; data: read short ("}},
      {"check --quiet " + kFaults, 1, {"!GEF SEVERE", "!FILEOWNER", "header_faults.gef: failed"}},
      // Data that could not be read at all fails check, whatever the finding's level.
      {"check " + no_data(), 1, {"cpt_no_data.gef: failed; data: read short (data read up to scan 0"}},
      {"check " + kNotGef + " " + kBasic, 2,
       {"not_gef.gef: not a GEF file (no #GEFID line)\n", "GEF SEVERE",
        "not_gef.gef: unreadable; data: unreadable", "cpt_basic.gef: ok"}},
      {"check " + absent, 2, {"no such file or folder"}},
      {"", 2},
      {"check", 2},
      {"frobnicate", 2, {}, {"unknown command 'frobnicate'"}},
      {"--frob", 2, {}, {"unknown option '--frob'"}},
      {"check --rules HEADER,NOSUCH " + kBasic, 2, {}, {"NOSUCH"}},
      {"check --log " + q((dir() / "no" / "dir.log").string()) + " " + kBasic, 2},
      {"info " + unknown(), 0, {"CPT report      not recognised"}},
      {"info " + utm, 0, {"x 600000, y 5700000"}},
      {"dump " + utm, 0, {"0.00001", "100000"}},
      {"info " + old, 0, {"converted on reading (written as 1.1.0), signs unchanged"}},
      // A code file of one's own; a missing one is a warning and leaves the layers unexpanded.
      {"info --codes " + path("none.txt") + " " + kBoring, 0, {"'Kz3'       -"},
       {"could not be read"}},
      {"dump --codes " + codes + " " + kBoring, 0, {",\"zand, siltig, grindig; LI=??? GR=???\"\n"}},
      {"info " + kCp1252, 0, {"Kr\xC3\xB6ller 20\xC2\xB0" "C \xE2\x82\xAC"}},
      {"dump " + kCp1252, 0, {"\"zand, grijs \xC2\xB0\"", "\"klei \"\"vast\"\" \xC3\xB6\""}},
      {"info " + kNotGef, 2, {"!"}, {"not_gef.gef: not a GEF file (no #GEFID line)\n  GEF 100"}},
      {"info " + absent, 2, {}, {"Cannot open file"}},
      {"info --frob " + kBasic, 2, {}, {"--frob", "Usage: info"}},
      // Folders are searched for GEF files, as check does.
      {"dump " + q(fs::path(example("")).parent_path().string()), 0, {"^file,layer_top_m,", "cpt_basic.gef,,,,,0.02,"}},
      {"dump " + path("empty"), 2, {"!"}, {"no .gef files found"}},
      {"check " + path("empty"), 2, {}, {"no .gef files found"}},
      {"dump " + kBasic + " " + kNotGef, 2},
      // Lost data is never quiet.
      {"info " + cpt_short, 1, {}, {lost}},
      {"info --json " + cpt_short, 1, {}, {lost}},
      {"dump " + cpt_short, 1, {}, {lost}},
      {"header " + cpt_short, 1, {}, {lost}},
      {"dif " + cpt_short + " " + path("short.dif"), 1, {}, {lost}},
      {"convert " + cpt_short + " " + lossy, 1, {}, {lost, "lossy.gef does not hold everything"}},
      // A field the record cannot hold is told, and --allow-loss changes only the exit status.
      {"convert " + surplus + " " + lossy, 1, {}, {"not kept from the input", "MEASUREMENTTEXT"}},
      {"convert --allow-loss " + surplus + " " + lossy, 0, {}, {"(allowed by --allow-loss)"}},
      {"summary " + kFaults, 1},
      {"summary " + kBasic + " " + cpt_short, 1, {",2,0.04,1.5,error,no,\"data read up to scan 2"}},
      // Standard names with voids empty, or the file's names with voids kept.
      {"dump " + kSeparators, 0, {cpt_columns, "\n0.9,2.4,,\n", "\n1.4,,0.038,\n"}},
      {"dump --names file --voids keep " + kSeparators, 0,
       {"^penetration length,cone resistance,local friction,friction ratio\n",
        "\n0.9,2.4,-9999,-9999\n"}},
      // Values of 4-byte floats print as the float's shortest text; files share one header.
      {"dump " + kBinary + " " + kBoring, 0,
       {"^file,", "!0000", ",layer_top_m,layer_bottom_m,column_text,layer_description\n",
        ",,0,0.3,'Zs1h2';'DO BR',\"sand, slightly silty, moderately humic; dark brown\"\n"}},
      {"dump --no-file-column " + kBinary + " " + kSeparators, 0, {"^penet"}},
      // Columns computed on request; one that is there already is kept.
      {"dump --add rf " + old, 0, {cpt_columns}, {"it is kept"}},
      {"dump --add depth " + old, 1, {cpt_columns}, {"cannot be computed"}},
      {"dump --add slope " + old, 2},
      // The level of each reading in the file's height system; one CSV per file on request.
      {"dump --add elevation " + kBasic, 0, {cpt_columns.substr(0, cpt_columns.size() - 1) +
                                             ",elevation_NAP_m\n0.02,0.35,0.016,4.57,1.33\n"}},
      {"dump --per-file " + path("csv") + " " + kBasic + " " + kBoring, 0, {"!"}},
      {"plot " + kNotGef + " -o " + path("x.svg"), 2},
      // Convert and dif refuse bad paths and arguments, and write nothing then.
      {"convert " + kNotGef + " " + out, 2},
      {"convert " + kBasic + " " + missing, 2, {}, {"cannot be opened"}},
      {"convert " + kBasic + " " + out + " --datatype REAL4", 2},
      {"convert " + kBasic + " " + out + " --binary --ascii", 2},
      {"convert " + kBasic + " " + out + " --separators ab c", 2},
      {"convert " + kBasic + " " + out + " --binary --datatype COMPLEX", 2},
      {"convert " + kBoring + " " + out + " --binary", 2, {}, {"per-scan texts"}},
      {"dif " + kBasic + " " + path("out.dif"), 0}, // the table's shape: the DIF writer's test
      {"dif " + kNotGef + " " + out, 2},
      {"dif " + kBasic + " " + missing, 2},
  };
  // clang-format on
  for (const Run& r : runs) {
    SCOPED_TRACE(r.arguments);
    const Outcome run = geftool(r.arguments);
    EXPECT_EQ(run.status, r.status) << run.out << run.err;
    expect_in_order(run.out, r.out);
    expect_in_order(run.err, r.err);
  }
  EXPECT_FALSE(fs::exists(dir() / "out.gef"));
  EXPECT_EQ(slurp_file(dir() / "csv" / "cpt_basic.csv").rfind(cpt_columns.substr(1), 0), 0u);
  EXPECT_TRUE(fs::exists(dir() / "csv" / "boring_layers.csv"));
  for (const char* command :
       {"", "check ", "info ", "dump ", "convert ", "dif ", "header ", "summary ", "plot "}) {
    const Outcome run = geftool(std::string(command) + "--help");
    EXPECT_EQ(run.status, 0) << command;
    expect_in_order(run.out, {"Usage"});
  }
  expect_in_order(geftool("check --help").out, {"--rules"});
  expect_in_order(geftool("dump --help").out, {"--names"});
}

// JSON fields by pointer; absent ones read as "(absent)", and null stands for "not known".
TEST_F(GeftoolTest, JsonFieldsOfEachCommand) {
  const std::string dissipation =
      variant(example("gefid2_dissipation.gef"), "#FILEOWNER",
              "#PROCEDURECODE= GEF-DISS-Report, 1, 0, 0, -\n#FILEOWNER", "dissipation.gef");
  // Each command's expected fields as {"JSON pointer": value}.
  const std::pair<std::string, const char*> cases[] = {
      {"info --json " + kBasic,
       R"j({"/schema": 1, "/gefid": "1.1.0", "/report": "GEF-CPT-Report", "/scans": 50,
           "/cpt_report_version": "1.1.0", "/column_texts": 0, "/data_complete": true,
           "/xyid/system": 31000, "/zid/z": 1.35, "/surface/height_system": "NAP",
           "/location/system": "RD (Rijksdriehoeksmeting), EPSG:28992", "/cone/tip_area": 1000,
           "/max_cone_resistance": 2.062, "/columns/1/unit": "MPa", "/columns/1/void": -9999,
           "/columns/1/standard_name": "cone_resistance", "/columns/1/quantity_number": 2,
           "/columns/1/min": 0.2, "/columns/1/max": 2.062, "/columns/4": "(absent)"})j"},
      // Absent is null, never a default: no accuracy, no location, no cone.
      {"info --json " + kCptFaults,
       R"j({"/surface/dz": null, "/location/x": null, "/cone/type": null})j"},
      {"info --json " + dissipation,
       R"j({"/report_type": "GEF-DISS-Report", "/report_version": "1.0.0"})j"},
      {"info --json " + unknown(), R"j({"/cpt_report_version": "not recognised"})j"},
      {"info --json " + old(), R"j({"/conversion/written_as": "1.1.0"})j"},
      {"info --json " + kBoring,
       R"j({"/cpt_report_version": null, "/layers/5": "(absent)", "/layers/4": {"scan": 5,
           "top": 3.9, "bottom": 5.0, "description": "'Zs2g1'", "additional": [],
           "expansion": "sand, moderately silty, slightly gravelly; light grey"}})j"},
      // Minima and maxima skip voids.
      {"info --json " + kSeparators,
       R"j({"/columns/1/min": 1.2, "/columns/1/values": 11, "/columns/2/min": 0.02})j"},
      // Code page 1252 texts come out as UTF-8; UTF-8 texts are not decoded twice.
      {"info --json " + kCp1252, R"j({"/project_name": "Kr\u00f6ller 20\u00b0C \u20ac"})j"},
      {"info --json " + q(data("utf8_bom.gef")),
       R"j({"/project_name": "Kr\u00f6ller 20\u00b0C"})j"},
      {"check --json " + kFaults,
       R"j({"/schema": 1, "/files/0/status": "failed", "/files/0/counts/severe": 2,
           "/files/0/counts/error": 2, "/files/0/counts/minor": 1, "/summary/failed": 1})j"},
      {"check --json " + kCptFaults,
       R"j({"/files/0/rules": ["HEADER", "DATA", "GEF-CPT-Report"]})j"},
      // Named rule sets run in the order given.
      {"check --json --rules gef-bore-report,data,header " + kBasic,
       R"j({"/files/0/rules": ["GEF-BORE-Report", "DATA", "HEADER"]})j"},
      // Each keyword line with the meaning of its number.
      {"header --json " + kBasic,
       R"j({"/schema": 1, "/keywords/0/keyword": "GEFID", "/keywords/27/keyword": "MEASUREMENTVAR",
           "/keywords/27/number": 1, "/keywords/27/fields/0": "1000",
           "/keywords/27/meaning": "nominal area of the cone tip (mm2)"})j"},
  };
  for (const auto& [arguments, fields] : cases) {
    const json j = run_json(arguments), expected = json::parse(fields);
    for (const auto& [pointer, want] : expected.items()) {
      const json::json_pointer p(pointer);
      EXPECT_EQ(j.contains(p) ? j.at(p) : json("(absent)"), want) << arguments << " " << pointer;
    }
  }
}

// Levels per finding are the grouping of the text output; here the JSON shape and the codes.
TEST_F(GeftoolTest, FindingsCarryCodeLevelAndClass) {
  const json faults = run_json("check --json " + kFaults);
  for (const json& f : faults["files"][0]["findings"]) {
    for (const char* key : {"code", "level", "class", "class_name", "text", "count"})
      EXPECT_TRUE(f.contains(key)) << key;
    EXPECT_EQ(f["class"], f["level"].get<int>() % 10);
    EXPECT_NE(f["code"], 0) << f["message"];
  }
  // The CPT report and data rules run on a CPT report; the missing keywords are of class 2.
  EXPECT_EQ(codes_and_levels(run_json("check --json " + kCptFaults)["files"][0]),
            (std::vector<std::pair<int, int>>{{GEF_E_DATA_NOTE, 5},
                                              {GEF_E_CPT_MANDATORY, 12},
                                              {GEF_E_CPT_MANDATORY_110, 12},
                                              {GEF_E_CPT_NOTE, 14}}));

  // Blank lines before an updated GEFID, scans closed right after their last value, and a file
  // cut right after its last value: read whole, each deviation named once, and no failure.
  std::string text = slurp_file(example("cpt_separators.gef"));
  text.replace(text.find("1, 1, 0"), 7, "1, 1, 2");
  for (auto at = text.find(";!\r\n"); at != std::string::npos; at = text.find(";!\r\n", at))
    text.erase(at, 1);
  const Outcome run =
      geftool("check --json " +
              q(scratch_.write("tolerated.gef", "\r\n" + text.substr(0, text.size() - 3))));
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  auto found = codes_and_levels(parsed(run)["files"][0]);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::pair<int, int>>{{GEF_E_NOTE, 4},
                                                     {GEF_E_NOTE, 5},
                                                     {GEF_E_DATA_REMAINS, 4},
                                                     {GEF_E_NO_COLUMN_SEPARATOR, 4}}));
}

TEST_F(GeftoolTest, FoldersAreWalkedForGefFilesInAnyCase) {
  fs::create_directories(dir() / "tree" / "sub");
  fs::copy_file(example("cpt_basic.gef"), dir() / "tree" / "a.GEF");
  fs::copy_file(example("cpt_basic.gef"), dir() / "tree" / "sub" / "b.Gef");
  fs::copy_file(data("header_faults.gef"), dir() / "tree" / "sub" / "c.gef");
  fs::copy_file(data("not_gef.gef"), dir() / "tree" / "notes.txt");
  const Outcome run = geftool("check --json " + path("tree"));
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(parsed(run)["summary"],
            json::parse(R"({"files": 3, "ok": 2, "failed": 1, "unreadable": 0})"))
      << run.out;
}

// The log's own form is the library's; geftool gives each file its section, also after a file
// without findings.
TEST_F(GeftoolTest, LogOptionWritesTheLibraryLogWithASectionPerFile) {
  const std::string cpt_short = short_file();
  EXPECT_EQ(geftool("check --log " + path("check.log") + " " + kFaults + " " + kBasic + " " +
                    cpt_short + " " + kBoring + " " + kFaults)
                .status,
            1);
  const std::string sections = slurp_file(dir() / "check.log");
  EXPECT_EQ(count(sections, "=== "), 5u) << sections;
  expect_in_order(sections, {"*** Errorlevel: GEF SEVERE (1) ***", "Y2k"});
  EXPECT_GT(sections.rfind("Y2k"), sections.rfind("=== ")) << sections;
}

// The rendered pictures (panels, boring logs) are checked pixel by pixel in the Python tests;
// here the text of the SVG.
TEST_F(GeftoolTest, PlotWritesACptsPanelsAsSvgTextWithCrLf) {
  ASSERT_EQ(geftool("plot " + kBasic + " -o " + path("cpt.svg")).status, 0);
  const std::string svg = slurp_file(dir() / "cpt.svg");
  EXPECT_EQ(svg.substr(svg.size() - 8), "</svg>\r\n");
  EXPECT_EQ(std::count(svg.begin(), svg.end(), '\n'), std::count(svg.begin(), svg.end(), '\r'));
  expect_in_order(svg, {"^<?xml", ">cone resistance [MPa]<", ">friction ratio [%]<", ">S-04<"});
}

TEST_F(GeftoolTest, ConvertKeepsTheValuesAndChangesTheLayoutAsAsked) {
  const std::string out = path("out.gef");
  // The values as dump shows them survive each layout; a boring's layer texts need a text data
  // block with separators.
  for (const char* name : {"cpt_basic.gef", "cpt_binary.gef", "cpt_separators.gef",
                           "boring_layers.gef", "gefid2_dissipation.gef"})
    for (const std::string options :
         {"", " --binary --datatype real8", " --ascii", " --no-separators"}) {
      const bool refused = options.size() > 8 && std::string(name) == "boring_layers.gef";
      ASSERT_EQ(geftool("convert " + q(example(name)) + " " + out + options).status,
                refused ? 2 : 0)
          << name << options;
      if (refused) continue;
      EXPECT_EQ(geftool("dump --no-file-column " + out).out,
                geftool("dump --no-file-column " + q(example(name))).out)
          << name << options;
    }
  // Without --format each column gets the shortest format that keeps all its values.
  ASSERT_EQ(geftool("convert " + kBasic + " " + out).status, 0);
  expect_in_order(slurp_file(dir() / "out.gef"), {"#REPORTDATAFORMAT= F4.2 F5.3 F6.4 F4.2\r\n",
                                                  "#EOH=\r\n0.02 0.350 0.0160 4.57 "});
  ASSERT_EQ(
      geftool("convert " + kBasic + " " + out + " --separators \";\" \"!\" --format \"F8.3 F9.4\"")
          .status,
      0);
  const std::string text = slurp_file(dir() / "out.gef");
  expect_in_order(text, {"#REPORTDATAFORMAT= F8.3 F9.4\r\n", "\r\n0.020;0.3500;"});
  EXPECT_EQ(text.substr(text.size() - 3), "!\r\n");
  // A format or data type that rounds is the caller's choice, but told; an existing target is
  // replaced, and binary data keep LF header lines.
  const Outcome rounded = geftool("convert " + kBasic + " " + out + " --format F8.1");
  EXPECT_EQ(rounded.status, 1);
  expect_in_order(rounded.err, {"#COLUMNMINMAX 1 field 1: '0.02' became '0'",
                                "column 2: 48 of 50 values changed, the first in scan 1: 0.35 "
                                "became 0.3"});
  const Outcome single = geftool("convert " + kBasic + " " + out + " --binary --datatype FLOAT");
  EXPECT_EQ(single.status, 1);
  expect_in_order(single.err, {"0.35 became 0.3499999940395355"});
  expect_in_order(slurp_file(dir() / "out.gef"), {"#DATATYPE= FLOAT\n", "!\r"});
}

// Every command on every corpus file: no crash, JSON that parses, losses named.
TEST_F(GeftoolTest, EveryCommandSurvivesEveryCorpusFile) {
  const std::vector<fs::path> files = gef::test::corpus_files();
  if (files.empty()) GTEST_SKIP() << "no corpus";
  const std::string corpus = q(gef::test::corpus_dir().string());
  const Outcome run = geftool("check --json " + corpus);
  EXPECT_LE(run.status, 2) << "geftool died: " << run.err;
  expect_in_order(run.err, {"!Sanitizer", "!runtime error"});
  const json j = parsed(run);
  ASSERT_EQ(j["files"].size(), files.size());
  EXPECT_EQ(j["summary"]["files"], files.size());
  for (const json& file : j["files"]) {
    const std::string status = file["status"];
    EXPECT_TRUE(status == "ok" || status == "failed" || status == "unreadable") << file.dump();
    std::set<std::string> seen; // identical entries are shown once, with their count
    for (const json& f : file["findings"]) {
      EXPECT_NE(f["level"], 0) << file["path"] << ": " << f["message"];
      EXPECT_TRUE(seen.insert(f["code"].dump() + f["level"].dump() + f["message"].dump()).second)
          << "repeated in " << file["path"] << ": " << f["message"];
    }
  }
  for (const fs::path& path : files) {
    const std::string file = q(path.string());
    // Without --format a conversion keeps every value.
    EXPECT_EQ(geftool("convert " + file + " " + q((dir() / "corpus.gef").string()))
                  .err.find("values changed"),
              std::string::npos)
        << file;
    for (const std::string& command :
         {"info --json " + file, "dump " + file, "header --json " + file}) {
      const Outcome run = geftool(command);
      EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << command << ": " << run.err;
      // 2 for a file the library cannot read; 1 only for a loss named on stderr that the
      // library recorded as a data-block finding; anything else is a crash.
      EXPECT_TRUE(run.status == 0 || run.status == 2 ||
                  (run.status == 1 && run.err.find("data read up to scan") != std::string::npos))
          << command << ": " << run.err;
      if (run.status == 1) {
        bool data_block = false;
        const json check = run_json("check --json " + file);
        for (const json& f : check["files"][0]["findings"])
          data_block = data_block || (f["code"] >= GEF_E_DATA_REMAINS &&
                                      f["code"] <= GEF_E_COLUMNTEXT_WITHOUT_RECORDSEPARATOR);
        EXPECT_TRUE(data_block) << command;
      }
      if (run.status != 2 && command.rfind("dump", 0) != 0) {
        EXPECT_TRUE(parsed(run).contains("schema")) << command;
      }
    }
  }
  EXPECT_EQ(run_json("summary --json " + corpus)["files"].size(), files.size());
  // One column per quantity and unit: no producer's spelling of a unit the table knows survives.
  const std::string names = geftool("dump " + corpus).out;
  expect_in_order(names.substr(0, names.find('\n')),
                  {"!megaPascal", "!_Mpa", "!graden", "!Graden", "!degrees", "!procent", "!meter"});
}

// -j N reads the files on N threads: what every command prints, its log and exit status are
// those of -j 1, byte for byte.
TEST_F(GeftoolTest, ParallelRunsPrintWhatOneThreadPrints) {
  std::string inputs = q(data("")) + " " + q(example(""));
  if (!gef::test::corpus_files().empty()) inputs += " " + q(gef::test::corpus_dir().string());
  for (const std::string command :
       {"check --json", "check --log", "summary", "dump --add rf,elevation", "map"}) {
    std::vector<std::string> seen; // status, stdout, stderr and log of each -j
    for (const std::string jobs : {"1", "3"}) {
      const std::string log = (dir() / ("j" + jobs + ".log")).string();
      const bool logs = command == "check --log";
      const Outcome run =
          geftool(command + (logs ? " " + q(log) : "") + " -j " + jobs + " " + inputs);
      seen.push_back(std::to_string(run.status) + "\n" + run.out + "\n" + run.err +
                     (logs ? slurp_file(log) : ""));
    }
    EXPECT_EQ(seen[0], seen[1]) << command;
  }
}

// Known points through PROJ (no correction grid), and each doubt about a location in check's
// LOCATION group: information or warnings that never fail the file.
TEST_F(GeftoolTest, LocationsInWgs84AndSuspectLocationsFlagged) {
  struct Point {
    std::string xyid; // the fields of #XYID
    double longitude, latitude;
    std::string system; // info's system name
    std::string finding = "";
  };
  const double none = 0; // no longitude: the finding says why
  // clang-format off
  const Point points[] = {
      {"31000, 155000, 463000", 5.38720, 52.15517, "RD (Rijksdriehoeksmeting), EPSG:28992"},
      {"28992, 155000, 463000", 5.38720, 52.15517, "RD (Rijksdriehoeksmeting), EPSG:28992"},
      // Lambert 72 and UTM 31N: PROJ's values for points in Brussels and Zeeland.
      {"32000, 150000, 170000", 4.3687521, 50.8404113, "Belgian Lambert 72, EPSG:31370"},
      {"32631, 600000, 5700000", 4.4388768, 51.4423523, "WGS 84 / UTM zone 31N, EPSG:32631"},
      {"4326, 4.5, 52.25", 4.5, 52.25, "WGS 84 (longitude, latitude), EPSG:4326"},
      {"31000, 0, 0", none, none, "RD", "warning: X and Y are both 0: a dummy location"},
      {"31000, 99999, 99999", none, none, "RD", "warning: X and Y are both 99999: a dummy"},
      {"31000, 155000, 963000", none, none, "RD", "warning: X 155000, Y 963000 lie outside the "
       "area of RD (Rijksdriehoeksmeting) (X 0 to 300000, Y 289000 to 629000)"},
      {"32000, 150000, 970000", none, none, "Lambert", "warning: X 150000, Y 970000 lie outside"},
      {"31000, 12000, 25000", none, none, "RD", "warning: X 12000, Y 25000 look like old RD"},
      {"77777, 155000, 463000", none, none, "(absent)",
       "warning: system code 77777 is not in the table"},
      {"0, 155000, 463000", none, none, "unknown or local system", "information: system code 0 "
       "(unknown or local system) names no system with an EPSG code; X 155000, Y 463000 lie "
       "within RD's area"},
  };
  // clang-format on
  const std::string sound = "31000, 132470.25, 457823.60, 0.05, 0.05";
  // The Windows build has no PROJ: it judges locations but places none.
  const bool placed = !run_json("info --json " + kBasic)["location"]["longitude"].is_null();
  for (const Point& p : points) {
    const std::string file = variant(example("cpt_basic.gef"), sound, p.xyid, "located.gef");
    const json location = run_json("info --json " + file)["location"];
    const std::string system = location["system"].is_null() ? "(absent)" : location["system"];
    EXPECT_NE(system.find(p.system), std::string::npos) << p.xyid << ": " << system;
    if (p.finding.empty() && placed) {
      // Within a metre.
      const double east = (double(location["longitude"]) - p.longitude) * 111320 *
                          std::cos(p.latitude * 3.14159265358979 / 180);
      const double north = (double(location["latitude"]) - p.latitude) * 110574;
      EXPECT_LT(std::hypot(east, north), 1.0) << p.xyid << ": " << location.dump();
    } else {
      EXPECT_TRUE(location["longitude"].is_null()) << p.xyid;
    }
    const Outcome check = geftool("check " + file);
    EXPECT_EQ(check.status, 0) << p.xyid;
    expect_in_order(check.out, p.finding.empty() ? std::vector<std::string>{"!LOCATION"}
                                                 : std::vector<std::string>{"LOCATION", p.finding});
  }
}

// The corpus on one map: every file is a feature or is listed with its reason.
TEST_F(GeftoolTest, MapPlacesEveryCorpusFileOrSaysWhyNot) {
  const std::vector<fs::path> files = gef::test::corpus_files();
  if (files.empty()) GTEST_SKIP() << "no corpus";
  const std::string geojson = (dir() / "corpus.geojson").string();
  const Outcome run = geftool("map " + q(gef::test::corpus_dir().string()) + " -o " + q(geojson));
  EXPECT_LE(run.status, 2);
  const json map = json::parse(slurp_file(geojson));
  EXPECT_EQ(map["type"], "FeatureCollection");
  for (const json& f : map["features"]) {
    const double longitude = f["geometry"]["coordinates"][0],
                 latitude = f["geometry"]["coordinates"][1];
    // The Netherlands and Belgium, generously.
    EXPECT_TRUE(longitude > 2.5 && longitude < 7.3 && latitude > 49.4 && latitude < 53.7)
        << f.dump();
  }
  EXPECT_EQ(map["features"].size() + count(run.err, ": not on the map: "), files.size());
}

} // namespace
