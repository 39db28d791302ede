// Runs geftool as a process and checks what a person or a script sees: output, JSON and exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#else
#include <process.h>
#endif

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

struct Outcome {
  int status = -1; // exit code; 128 + signal number when the process was killed
  std::string out;
  std::string err;
};

std::string in_quotes(const std::string& s) { return "\"" + s + "\""; }

std::string example(const std::string& name) {
  return std::string(GEFTOOL_SOURCE_DIR) + "/examples/" + name;
}

std::string data(const std::string& name) {
  return std::string(GEFTOOL_SOURCE_DIR) + "/tests/geftool/data/" + name;
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string without_cr(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
  return s;
}

const fs::path kCorpus = fs::path(GEFTOOL_SOURCE_DIR) / ".." / "shared" / "corpus";

// Every *.gef file (in any case) of the shared corpus, in sorted order; none when it is absent.
std::vector<fs::path> corpus_files() {
  std::vector<fs::path> files;
  if (!fs::is_directory(kCorpus)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(kCorpus)) {
    std::string ext = entry.path().extension().string();
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (entry.is_regular_file() && ext == ".gef") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A folder of its own for each test, so parallel test processes never share files.
class GeftoolTest : public testing::Test {
protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
#ifdef _WIN32
    const int pid = _getpid();
#else
    const int pid = getpid();
#endif
    dir_ = fs::temp_directory_path() / ("geftool-test-" + std::to_string(pid) + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  Outcome geftool(const std::string& arguments) {
    const std::string out = (dir_ / "stdout.txt").string();
    const std::string err = (dir_ / "stderr.txt").string();
    std::string command = in_quotes(GEFTOOL_EXE) + " " + arguments + " <" +
#ifdef _WIN32
                          "NUL"
#else
                          "/dev/null"
#endif
                          + " >" + in_quotes(out) + " 2>" + in_quotes(err);
#ifdef _WIN32
    // cmd.exe strips the first and last quote of the whole line.
    command = in_quotes(command);
#endif
    Outcome run;
    int raw = std::system(command.c_str());
#ifdef _WIN32
    // Under a loaded emulator the shell now and then fails to start the program at all; that
    // says nothing about geftool, so such a start is tried once more.
    if (raw != 0 && read_file(err).find("Can't recognize") != std::string::npos)
      raw = std::system(command.c_str());
    run.status = raw;
#else
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + (WIFSIGNALED(raw) ? WTERMSIG(raw) : 0);
#endif
    // Windows writes text-mode line ends as CR LF; the content is what is compared here.
    run.out = without_cr(read_file(out));
    run.err = without_cr(read_file(err));
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

  fs::path dir_;
};

TEST_F(GeftoolTest, CheckPassesTheBundledExamples) {
  const Outcome run = geftool("check " + in_quotes(example("cpt_basic.gef")) + " " +
                              in_quotes(example("boring_layers.gef")));
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(
      run.out.find("cpt_basic.gef: ok; scans 50; rules HEADER, DATA, GEF-CPT-Report; findings: 0 "
                   "severe, 0 error, 0 minor, 0 warning, 0 information"),
      std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("boring_layers.gef: ok"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("checked 2 files: 2 ok, 0 failed, 0 unreadable"), std::string::npos);
}

TEST_F(GeftoolTest, CheckGroupsFindingsUnderTheirLevels) {
  // The file's findings are recorded interleaved (1, 3, 2, 2, 1); each must land under its own
  // level heading, most serious first.
  const Outcome run = geftool("check " + in_quotes(data("header_faults.gef")));
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  const auto severe = run.out.find("GEF SEVERE (1)");
  const auto error = run.out.find("GEF ERROR (2)");
  const auto minor = run.out.find("GEF MINOR (3)");
  ASSERT_NE(severe, std::string::npos) << run.out;
  ASSERT_NE(error, std::string::npos) << run.out;
  ASSERT_NE(minor, std::string::npos) << run.out;
  EXPECT_LT(severe, error);
  EXPECT_LT(error, minor);
  const auto owner = run.out.find("Keyword FILEOWNER is missing.");
  const auto project = run.out.find("Keyword PROJECTID is missing.");
  const auto month = run.out.find("the number of the month 13");
  const auto year = run.out.find("the year 24 is not Y2k compliant");
  EXPECT_TRUE(severe < owner && owner < error) << run.out;
  EXPECT_TRUE(severe < project && project < error) << run.out;
  EXPECT_TRUE(error < month && month < minor) << run.out;
  EXPECT_GT(year, minor) << run.out;
  EXPECT_NE(
      run.out.find(
          "header_faults.gef: failed; scans 3; rules HEADER, DATA; findings: 2 severe, 2 error, "
          "1 minor, 0 warning, 0 information"),
      std::string::npos)
      << run.out;
}

TEST_F(GeftoolTest, CheckJsonCarriesCodeLevelAndClassPerFinding) {
  const Outcome run = geftool("check --json " + in_quotes(data("header_faults.gef")));
  EXPECT_EQ(run.status, 1);
  const json j = parsed(run);
  ASSERT_EQ(j["files"].size(), 1u);
  const json& file = j["files"][0];
  EXPECT_EQ(file["status"], "failed");
  EXPECT_EQ(file["counts"]["severe"], 2);
  EXPECT_EQ(file["counts"]["error"], 2);
  EXPECT_EQ(file["counts"]["minor"], 1);
  int year_level = 0, month_level = 0, owner_level = 0;
  for (const json& f : file["findings"]) {
    const std::string message = f["message"];
    EXPECT_EQ(f["class"], f["level"].get<int>() % 10);
    EXPECT_NE(f["code"], 0) << message;
    if (message.find("Y2k") != std::string::npos) year_level = f["level"];
    if (message.find("month 13") != std::string::npos) month_level = f["level"];
    if (message.find("FILEOWNER") != std::string::npos) owner_level = f["level"];
  }
  EXPECT_EQ(year_level, 3);
  EXPECT_EQ(month_level, 2);
  EXPECT_EQ(owner_level, 1);
  EXPECT_EQ(j["summary"]["failed"], 1);
}

TEST_F(GeftoolTest, TolerancesOfReadingAreFindingsThatDoNotFail) {
  // Blank lines before an updated GEFID, scans closed right after their last value, and a file
  // cut right after its last value: read whole, each deviation named once.
  std::string text = read_file(example("cpt_separators.gef"));
  text.replace(text.find("1, 1, 0"), 7, "1, 1, 2");
  for (auto at = text.find(";!\r\n"); at != std::string::npos; at = text.find(";!\r\n", at))
    text.erase(at, 1);
  text = "\r\n" + text.substr(0, text.size() - 3);
  const fs::path file = dir_ / "tolerated.gef";
  std::ofstream(file, std::ios::binary) << text;
  const Outcome run = geftool("check --json " + in_quotes(file.string()));
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  const json j = parsed(run);
  std::vector<std::pair<int, int>> found; // code, level
  for (const json& f : j["files"][0]["findings"]) found.emplace_back(f["code"], f["level"]);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::pair<int, int>>{{42, 4}, {42, 5}, {1004, 4}, {1006, 4}}))
      << j.dump(1);
}

TEST_F(GeftoolTest, QuietPrintsOnlyTheSummary) {
  const Outcome run = geftool("check --quiet " + in_quotes(data("header_faults.gef")));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.find("GEF SEVERE"), std::string::npos) << run.out;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
}

TEST_F(GeftoolTest, UnreadableAndMissingFilesExitWithTwo) {
  Outcome run = geftool("check " + in_quotes(data("not_gef.gef")) + " " +
                        in_quotes(example("cpt_basic.gef")));
  EXPECT_EQ(run.status, 2) << run.out;
  EXPECT_NE(run.out.find("not_gef.gef: unreadable"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("cpt_basic.gef: ok"), std::string::npos) << "later files still run";

  run = geftool("check " + in_quotes((dir_ / "absent.gef").string()));
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.out.find("no such file or folder"), std::string::npos) << run.out;
}

TEST_F(GeftoolTest, WrongArgumentsExitWithTwo) {
  EXPECT_EQ(geftool("").status, 2);
  const Outcome unknown = geftool("frobnicate");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command 'frobnicate'"), std::string::npos) << unknown.err;
  EXPECT_NE(geftool("--frob").err.find("unknown option '--frob'"), std::string::npos);
  EXPECT_EQ(geftool("check").status, 2);
  EXPECT_EQ(geftool("check --no-such-option " + in_quotes(example("cpt_basic.gef"))).status, 2);
  const Outcome run = geftool("check --rules HEADER,NOSUCH " + in_quotes(example("cpt_basic.gef")));
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("NOSUCH"), std::string::npos) << run.err;
}

TEST_F(GeftoolTest, NamedRuleSetsRunInTheOrderGiven) {
  const Outcome run = geftool("check --json --rules gef-bore-report,data,header " +
                              in_quotes(example("cpt_basic.gef")));
  const json j = parsed(run);
  EXPECT_EQ(j["files"][0]["rules"], json::array({"GEF-BORE-Report", "DATA", "HEADER"}));
  EXPECT_EQ(run.status, 1) << run.err; // a CPT file is no boring: "This is not a Bore Report"
}

TEST_F(GeftoolTest, CheckRunsTheCptReportAndDataRules) {
  const Outcome run = geftool("check --json " + in_quotes(data("cpt_faults.gef")));
  EXPECT_EQ(run.status, 1) << run.err; // the missing keywords are of class 2
  const json j = parsed(run);
  std::vector<std::pair<int, int>> found; // code, level
  for (const json& f : j["files"][0]["findings"]) found.emplace_back(f["code"], f["level"]);
  EXPECT_EQ(found,
            (std::vector<std::pair<int, int>>{{1012, 5}, {2006, 12}, {2007, 12}, {2005, 14}}))
      << j.dump(1);
  EXPECT_EQ(j["files"][0]["rules"], json::array({"HEADER", "DATA", "GEF-CPT-Report"}));
}

TEST_F(GeftoolTest, HelpOnEveryCommand) {
  for (const char* command :
       {"", "check ", "info ", "dump ", "convert ", "dif ", "header ", "summary "}) {
    const Outcome run = geftool(std::string(command) + "--help");
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_NE(run.out.find("Usage"), std::string::npos) << command << run.out;
  }
  EXPECT_NE(geftool("check --help").out.find("--rules"), std::string::npos);
  EXPECT_NE(geftool("dump --help").out.find("--names"), std::string::npos);
}

TEST_F(GeftoolTest, FoldersAreWalkedForGefFilesInAnyCase) {
  fs::create_directories(dir_ / "tree" / "sub");
  fs::copy_file(example("cpt_basic.gef"), dir_ / "tree" / "a.GEF");
  fs::copy_file(example("cpt_basic.gef"), dir_ / "tree" / "sub" / "b.Gef");
  fs::copy_file(data("header_faults.gef"), dir_ / "tree" / "sub" / "c.gef");
  fs::copy_file(data("not_gef.gef"), dir_ / "tree" / "notes.txt");
  const Outcome run = geftool("check --json " + in_quotes((dir_ / "tree").string()));
  EXPECT_EQ(run.status, 1) << run.err;
  const json j = parsed(run);
  ASSERT_EQ(j["files"].size(), 3u) << run.out;
  EXPECT_EQ(j["summary"]["ok"], 2);
  EXPECT_EQ(j["summary"]["failed"], 1);

  EXPECT_EQ(geftool("check " + in_quotes((dir_ / "tree" / "sub" / "..").string()) + "/none").status,
            2);
  fs::create_directories(dir_ / "empty");
  EXPECT_EQ(geftool("check " + in_quotes((dir_ / "empty").string())).status, 2);
}

TEST_F(GeftoolTest, LogOptionWritesTheLibraryLog) {
  const fs::path log = dir_ / "check.log";
  const Outcome run = geftool("check --log " + in_quotes(log.string()) + " " +
                              in_quotes(data("header_faults.gef")));
  EXPECT_EQ(run.status, 1);
  const std::string text = read_file(log);
  const auto severe = text.find("*** Errorlevel: GEF SEVERE (1) ***");
  const auto minor = text.find("*** Errorlevel: GEF MINOR (3) ***");
  EXPECT_NE(severe, std::string::npos) << text;
  EXPECT_GT(minor, severe) << text;
  EXPECT_NE(text.find("Y2k"), std::string::npos) << text;

  // Every file gets its section, also after a file without findings.
  std::string several = "check --log " + in_quotes(log.string());
  for (const std::string& file :
       {data("header_faults.gef"), example("cpt_basic.gef"), data("cpt_short.gef"),
        example("boring_layers.gef"), data("header_faults.gef")})
    several += " " + in_quotes(file);
  geftool(several);
  const std::string sections = read_file(log);
  std::size_t count = 0;
  for (auto at = sections.find("=== "); at != std::string::npos; at = sections.find("=== ", at + 1))
    ++count;
  EXPECT_EQ(count, 5u) << sections;
  EXPECT_GT(sections.rfind("Y2k"), sections.rfind("=== ")) << sections;

  EXPECT_EQ(geftool("check --log " + in_quotes((dir_ / "no" / "such" / "dir.log").string()) + " " +
                    in_quotes(example("cpt_basic.gef")))
                .status,
            2);
}

TEST_F(GeftoolTest, InfoSummarisesTheExample) {
  Outcome run = geftool("info " + in_quotes(example("cpt_basic.gef")));
  EXPECT_EQ(run.status, 0) << run.err;
  for (const char* expected :
       {"GEFID           1.1.0", "CPT report      1.1.0", "GEF-CPT-Report 1.1.0",
        "Dike strengthening", "132470.25", "Scans           50", "cone resistance"})
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;

  run = geftool("info --json " + in_quotes(example("cpt_basic.gef")));
  const json j = parsed(run);
  EXPECT_EQ(j["gefid"], "1.1.0");
  EXPECT_EQ(j["report"], "GEF-CPT-Report");
  EXPECT_EQ(j["cpt_report_version"], "1.1.0");
  EXPECT_EQ(j["scans"], 50);
  EXPECT_EQ(j["column_texts"], 0);
  EXPECT_EQ(j["xyid"]["system"], 31000);
  EXPECT_DOUBLE_EQ(j["zid"]["z"].get<double>(), 1.35);
  ASSERT_EQ(j["columns"].size(), 4u);
  const json& cone = j["columns"][1];
  EXPECT_EQ(cone["unit"], "MPa");
  EXPECT_EQ(cone["quantity_number"], 2);
  EXPECT_DOUBLE_EQ(cone["void"].get<double>(), -9999.0);
  EXPECT_DOUBLE_EQ(cone["min"].get<double>(), 0.2);
  EXPECT_DOUBLE_EQ(cone["max"].get<double>(), 2.062);
}

TEST_F(GeftoolTest, InfoSaysWhenACptReportVersionIsNotRecognised) {
  std::string text = read_file(data("cpt_faults.gef"));
  text.replace(text.find("1, 1, 0, -"), 10, "1, 2, 0, -");
  const std::string path = (dir_ / "unknown_version.gef").string();
  std::ofstream(path, std::ios::binary) << text;
  EXPECT_NE(geftool("info " + in_quotes(path)).out.find("CPT report      not recognised"),
            std::string::npos);
  EXPECT_EQ(parsed(geftool("info --json " + in_quotes(path)))["cpt_report_version"],
            "not recognised");
  EXPECT_TRUE(parsed(geftool("info --json " +
                             in_quotes(example("boring_layers.gef"))))["cpt_report_version"]
                  .is_null());
}

TEST_F(GeftoolTest, InfoTellsOfAConvertedReportAndDumpAddsComputedColumns) {
  std::string text = read_file(example("cpt_basic.gef"));
  text.replace(text.find("1, 1, 0, -"), 10, "1, 0, 0, -");
  const std::string path = in_quotes((dir_ / "old.gef").string());
  std::ofstream((dir_ / "old.gef").string(), std::ios::binary) << text;
  EXPECT_NE(
      geftool("info " + path).out.find("converted on reading (written as 1.1.0), signs unchanged"),
      std::string::npos);
  EXPECT_EQ(parsed(geftool("info --json " + path))["conversion"]["written_as"], "1.1.0");

  const Outcome kept = geftool("dump --add rf " + path);
  EXPECT_EQ(kept.status, 0);
  EXPECT_NE(kept.err.find("it is kept"), std::string::npos) << kept.err;
  const Outcome missing = geftool("dump --add depth " + path);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot be computed"), std::string::npos) << missing.err;
  EXPECT_EQ(without_cr(missing.out).substr(0, missing.out.find('\n')),
            without_cr(kept.out).substr(0, kept.out.find('\n')));
  EXPECT_EQ(geftool("dump --add slope " + path).status, 2);
}

TEST_F(GeftoolTest, InfoIgnoresVoidsInMinimumAndMaximum) {
  const json j = parsed(geftool("info --json " + in_quotes(example("cpt_separators.gef"))));
  ASSERT_EQ(j["columns"].size(), 4u);
  EXPECT_DOUBLE_EQ(j["columns"][1]["min"].get<double>(), 1.2);
  EXPECT_EQ(j["columns"][1]["values"], 11);
  EXPECT_DOUBLE_EQ(j["columns"][2]["min"].get<double>(), 0.02);
}

TEST_F(GeftoolTest, InfoOfAnUnreadableFileExitsWithTwo) {
  const Outcome run = geftool("info " + in_quotes(data("not_gef.gef")));
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(run.out.empty()) << run.out;
}

TEST_F(GeftoolTest, DumpWritesStandardNamesWithVoidsEmpty) {
  const std::string separators = in_quotes(example("cpt_separators.gef"));
  Outcome run = geftool("dump " + separators);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
            "penetration_length_m,cone_resistance_MPa,local_friction_MPa,friction_ratio_pct");
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 13) << run.out;
  EXPECT_NE(run.out.find("\n0.9,2.4,,\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n1.4,,0.038,\n"), std::string::npos) << run.out;

  run = geftool("dump --names file --voids keep " + separators);
  EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
            "penetration length,cone resistance,local friction,friction ratio");
  EXPECT_NE(run.out.find("\n0.9,2.4,-9999,-9999\n"), std::string::npos) << run.out;

  // Values of 4-byte floats print as the float's shortest text; several files share one header.
  run = geftool("dump " + in_quotes(example("cpt_binary.gef")) + " " +
                in_quotes(example("boring_layers.gef")));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.find("0000"), std::string::npos) << run.out.substr(0, 400);
  EXPECT_EQ(run.out.substr(0, 5), "file,");
  EXPECT_NE(run.out.find(",layer_top_m,layer_bottom_m,column_text,layer_description\n"),
            std::string::npos);
  EXPECT_NE(run.out.find(",,0,0.3,'Zs1h2';'DO BR',\"sand, slightly silty, moderately humic\"\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(
      geftool("dump --no-file-column " + in_quotes(example("cpt_binary.gef")) + " " + separators)
          .out.substr(0, 5),
      "penet");
}

TEST_F(GeftoolTest, InfoListsTheLayersOfABoring) {
  Outcome run = geftool("info " + in_quotes(example("boring_layers.gef")));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.err.empty()) << run.err;
  EXPECT_NE(run.out.find("Layers          5"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("'Kz3'       clay, strongly sandy"), std::string::npos) << run.out;

  const json j = parsed(geftool("info --json " + in_quotes(example("boring_layers.gef"))));
  ASSERT_EQ(j["layers"].size(), 5u);
  EXPECT_EQ(j["layers"][4], json::parse(R"({"scan": 5, "top": 3.9, "bottom": 5.0,
      "description": "'Zs2g1'", "expansion": "sand, moderately silty, slightly gravelly",
      "additional": []})"));

  // A code file of one's own; a missing one is a warning and leaves the layers unexpanded.
  const fs::path codes = dir_ / "codes.txt";
  std::ofstream(codes) << "ZS2G1;my sand;\nZ;zand;\nS2;siltig;\nG1;grindig;\n";
  run = geftool("dump --codes " + in_quotes(codes.string()) + " " +
                in_quotes(example("boring_layers.gef")));
  EXPECT_NE(run.out.find(",\"zand, siltig, grindig\"\n"), std::string::npos) << run.out;
  run = geftool("info --codes " + in_quotes((dir_ / "none.txt").string()) + " " +
                in_quotes(example("boring_layers.gef")));
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.err.find("could not be read"), std::string::npos) << run.err;
  EXPECT_NE(run.out.find("'Kz3'       -"), std::string::npos) << run.out;
}

TEST_F(GeftoolTest, PlotWritesSvgPanelsForACptAndBoxesForABoring) {
  // The rendered picture is checked pixel by pixel in the Python tests (rsvg-convert).
  const fs::path cpt = dir_ / "cpt.svg", boring = dir_ / "boring.svg";
  ASSERT_EQ(
      geftool("plot " + in_quotes(example("cpt_basic.gef")) + " -o " + in_quotes(cpt.string()))
          .status,
      0);
  const std::string svg = read_file(cpt);
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_EQ(svg.substr(svg.size() - 8), "</svg>\r\n");
  EXPECT_EQ(std::count(svg.begin(), svg.end(), '\n'), std::count(svg.begin(), svg.end(), '\r'));
  for (const char* label : {">cone resistance [MPa]<", ">friction ratio [%]<", ">S-04<"})
    EXPECT_NE(svg.find(label), std::string::npos) << label;
  std::size_t panels = 0;
  for (auto at = svg.find("class=\"panel\""); at != std::string::npos;
       at = svg.find("class=\"panel\"", at + 1))
    ++panels;
  EXPECT_EQ(panels, 2u); // no pore pressure column

  ASSERT_EQ(geftool("plot " + in_quotes(example("boring_layers.gef")) + " -o " +
                    in_quotes(boring.string()))
                .status,
            0);
  const std::string layers = read_file(boring);
  EXPECT_NE(layers.find("fill=\"#8a5a3a\""), std::string::npos); // the peat layer
  EXPECT_NE(layers.find(">'Vm';'DO BR'<"), std::string::npos);

  EXPECT_EQ(geftool("plot " + in_quotes(data("not_gef.gef")) + " -o " +
                    in_quotes((dir_ / "x.svg").string()))
                .status,
            2);
}

TEST_F(GeftoolTest, Cp1252TextsComeOutAsUtf8) {
  const Outcome info = geftool("info " + in_quotes(data("cp1252.gef")));
  EXPECT_NE(info.out.find("Kr\xC3\xB6ller 20\xC2\xB0"
                          "C \xE2\x82\xAC"),
            std::string::npos)
      << info.out;
  const Outcome dump = geftool("dump " + in_quotes(data("cp1252.gef")));
  EXPECT_NE(dump.out.find("\"zand, grijs \xC2\xB0\""), std::string::npos) << dump.out;
  EXPECT_NE(dump.out.find("\"klei \"\"vast\"\" \xC3\xB6\""), std::string::npos) << dump.out;
  const json j = parsed(geftool("info --json " + in_quotes(data("cp1252.gef"))));
  EXPECT_EQ(j["project_name"], "Kr\xC3\xB6ller 20\xC2\xB0"
                               "C \xE2\x82\xAC");
}

TEST_F(GeftoolTest, Utf8TextsAreNotDecodedTwice) {
  const json j = parsed(geftool("info --json " + in_quotes(data("utf8_bom.gef"))));
  EXPECT_EQ(j["project_name"], "Kr\xC3\xB6ller 20\xC2\xB0"
                               "C");
}

TEST_F(GeftoolTest, CorpusChecksWithoutCrashAndJsonParses) {
  if (!fs::is_directory(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus.string();
  const fs::path corpus = kCorpus;
  const std::size_t expected = corpus_files().size();

  const Outcome plain = geftool("check " + in_quotes(corpus.string()));
  EXPECT_LE(plain.status, 2) << "geftool died: " << plain.err;
  EXPECT_NE(plain.out.find("checked " + std::to_string(expected) + " files"), std::string::npos)
      << plain.out.substr(plain.out.size() > 2000 ? plain.out.size() - 2000 : 0);

  EXPECT_EQ(plain.err.find("Sanitizer"), std::string::npos) << plain.err;
  EXPECT_EQ(plain.err.find("runtime error"), std::string::npos) << plain.err;

  const Outcome run = geftool("check --json " + in_quotes(corpus.string()));
  EXPECT_LE(run.status, 2) << "geftool died: " << run.err;
  const json j = parsed(run);
  ASSERT_EQ(j["files"].size(), expected);
  EXPECT_EQ(j["summary"]["files"], expected);
  for (const json& file : j["files"]) {
    const std::string status = file["status"];
    EXPECT_TRUE(status == "ok" || status == "failed" || status == "unreadable") << file.dump();
    std::set<std::string> seen; // identical entries are shown once, with their count
    for (const json& f : file["findings"]) {
      EXPECT_NE(f["level"], 0) << "finding without a level in " << file["path"] << ": "
                               << f["message"];
      EXPECT_TRUE(seen.insert(f["code"].dump() + f["level"].dump() + f["message"].dump()).second)
          << "repeated in " << file["path"] << ": " << f["message"];
    }
  }
}

TEST_F(GeftoolTest, InfoDumpHeaderAndSummarySurviveEveryCorpusFile) {
  const std::vector<fs::path> files = corpus_files();
  if (files.empty()) GTEST_SKIP() << "no corpus at " << kCorpus.string();
  for (const fs::path& path : files) {
    const std::string file = in_quotes(path.string());
    for (const std::string& command :
         {"info --json " + file, "dump " + file, "header --json " + file}) {
      const Outcome run = geftool(command);
      // 2 for a file the library cannot read; 1 only for a loss named on stderr that the
      // library recorded as a data-block finding; anything else is a crash.
      EXPECT_TRUE(run.status == 0 || run.status == 2 ||
                  (run.status == 1 && run.err.find("data read up to scan") != std::string::npos))
          << command << ": " << run.err;
      if (run.status == 1) {
        bool data_block = false;
        for (const json& f : parsed(geftool("check --json " + file))["files"][0]["findings"])
          data_block = data_block || (f["code"] >= 1004 && f["code"] <= 1016);
        EXPECT_TRUE(data_block) << command;
      }
      EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << command << ": " << run.err;
      if (run.status != 2 && command.rfind("dump", 0) != 0) {
        EXPECT_TRUE(parsed(run).contains("schema")) << command;
      }
    }
  }
  EXPECT_EQ(parsed(geftool("summary --json " + in_quotes(kCorpus.string())))["files"].size(),
            files.size());
}

// The summary that must survive a conversion: not the file's name, the messages of reading or
// the declared minima and maxima (written with the data's precision); values as text data keep
// them, to five digits. Binary records carry no per-scan texts.
json comparable_info(json j, bool binary) {
  // The location and height are compared through "xyid" and "zid" below.
  for (const char* key : {"file", "messages_after_reading", "location", "surface"}) j.erase(key);
  if (binary) j.erase("column_texts");
  auto five_digits = [](json& value) {
    if (!value.is_number()) return;
    char text[32];
    std::snprintf(text, sizeof text, "%.4e", value.get<double>());
    value = text;
  };
  for (const char* key :
       {"max_cone_resistance", "top_level", "bottom_level", "final_penetration_length"})
    five_digits(j[key]);
  for (json& column : j["columns"]) {
    column.erase("declared_min");
    column.erase("declared_max");
    for (const char* key : {"min", "max"}) five_digits(column[key]);
  }
  return j;
}

TEST_F(GeftoolTest, ConvertKeepsWhatInfoShows) {
  std::vector<fs::path> files = corpus_files();
  for (const char* name : {"cpt_basic.gef", "cpt_binary.gef", "cpt_separators.gef",
                           "boring_layers.gef", "gefid2_dissipation.gef"})
    files.push_back(example(name));
  const std::string out = in_quotes((dir_ / "out.gef").string());
  for (const fs::path& file : files) {
    const Outcome before = geftool("info --json " + in_quotes(file.string()));
    if (before.status != 0) continue;
    for (const std::string options : {"", " --binary --datatype real8", " --ascii"}) {
      const bool binary = options.find("binary") != std::string::npos;
      const bool has_texts = parsed(before)["column_texts"].get<int>() > 0;
      const Outcome run = geftool("convert " + in_quotes(file.string()) + " " + out + options);
      if (binary && has_texts) { // texts have no place in binary records
        EXPECT_EQ(run.status, 2) << file;
        EXPECT_NE(run.err.find("per-scan texts"), std::string::npos) << run.err;
        continue;
      }
      EXPECT_EQ(run.status, 0) << file << options << ": " << run.err;
      const Outcome after = geftool("info --json " + out);
      ASSERT_EQ(after.status, 0) << file << options << ": " << after.err;
      json a = comparable_info(parsed(before), binary);
      json b = comparable_info(parsed(after), binary);
      // A height without accuracy is written with a zero accuracy.
      // A height without accuracy is written with a zero accuracy, a location without fields with
      // its stored zeros.
      if (a.contains("zid") && a["zid"].is_object() && b["zid"]["dz"] == 0.0) a["zid"]["dz"] = 0.0;
      if (a.contains("xyid") && a["xyid"].is_object() && a["xyid"]["x"].is_null()) a.erase("xyid");
      if (!a.contains("xyid")) b.erase("xyid");
      // Accuracies the file did not give are written with the library's defaults.
      for (const char* key : {"dx", "dy"})
        if (a.contains("xyid") && a["xyid"].is_object() && a["xyid"][key].is_null())
          a["xyid"][key] = b["xyid"][key];
      if (a.contains("zid") && a["zid"].is_object() && a["zid"]["dz"].is_null())
        a["zid"]["dz"] = b["zid"]["dz"];
      // Coordinates are written to their accuracy.
      for (const char* axis : {"x", "y"})
        if (a.contains("xyid") && a["xyid"].is_object() && a["xyid"][axis].is_number() &&
            b["xyid"][axis].is_number() &&
            std::abs(a["xyid"][axis].get<double>() - b["xyid"][axis].get<double>()) <=
                (a["xyid"]["d" + std::string(axis)].is_number()
                     ? a["xyid"]["d" + std::string(axis)].get<double>()
                     : 0.0))
          a["xyid"][axis] = b["xyid"][axis];
      // A CPT report converted on reading is written as the version it was converted to.
      if (!a["conversion"].is_null()) {
        EXPECT_TRUE(b["conversion"].is_null()) << file;
        for (const char* key :
             {"conversion", "cpt_report_version", "report_version", "procedurecode", "reportcode"})
          a.erase(key), b.erase(key);
      }
      // Binary records end at LASTSCAN.
      if (binary && a["scans"] != b["scans"])
        EXPECT_LT(b["scans"].get<int>(), a["scans"].get<int>()) << file;
      else
        EXPECT_EQ(a, b) << file << options << json::diff(a, b).dump();
    }
  }
}

TEST_F(GeftoolTest, ConvertChangesTheLayoutAsAsked) {
  const std::string in = in_quotes(example("cpt_basic.gef"));
  const fs::path out = dir_ / "out.gef";
  ASSERT_EQ(geftool("convert " + in + " " + in_quotes(out.string()) +
                    " --separators \";\" \"!\" --format \"F8.3 F9.4\"")
                .status,
            0);
  std::string text = read_file(out);
  EXPECT_NE(text.find("#REPORTDATAFORMAT= F8.3 F9.4\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n0.020;0.3500;"), std::string::npos) << text;
  EXPECT_EQ(text.compare(text.size() - 3, 3, "!\r\n"), 0);
  // Binary data keep LF header lines; an existing target is replaced.
  ASSERT_EQ(geftool("convert " + in + " " + in_quotes(out.string()) + " --binary --datatype FLOAT")
                .status,
            0);
  text = read_file(out);
  EXPECT_NE(text.find("#DATATYPE= FLOAT\n"), std::string::npos);
  EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST_F(GeftoolTest, ConvertAndDifRefuseBadPathsAndArguments) {
  const std::string in = in_quotes(example("cpt_basic.gef"));
  const std::string missing = in_quotes((dir_ / "missing" / "out.gef").string());
  const std::string out = in_quotes((dir_ / "out.gef").string());
  for (const std::string& arguments :
       {"convert " + in_quotes(data("not_gef.gef")) + " " + out, "convert " + in + " " + missing,
        "convert " + in + " " + out + " --datatype REAL4",
        "convert " + in + " " + out + " --binary --ascii",
        "convert " + in + " " + out + " --separators ab c",
        "convert " + in + " " + out + " --binary --datatype COMPLEX",
        "dif " + in_quotes(data("not_gef.gef")) + " " + out, "dif " + in + " " + missing}) {
    const Outcome run = geftool(arguments);
    EXPECT_EQ(run.status, 2) << arguments << ": " << run.out << run.err;
  }
  EXPECT_NE(geftool("convert " + in + " " + missing).err.find("cannot be opened"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "out.gef"));
}

TEST_F(GeftoolTest, DifExportsTheExample) {
  const fs::path out = dir_ / "out.dif";
  const Outcome run =
      geftool("dif " + in_quotes(example("cpt_basic.gef")) + " " + in_quotes(out.string()));
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string text = read_file(out);
  EXPECT_EQ(text.rfind(
                "TABLE\r\n0,1\r\n\"TABELNAAM\"\r\nVECTORS\r\n0,4\r\n\"\"\r\nTUPLES\r\n0,54\r\n", 0),
            0u)
      << text.substr(0, 200);
  EXPECT_NE(text.find("\"cone resistance\""), std::string::npos);
  EXPECT_EQ(text.compare(text.size() - 11, 11, "-1,0\r\nEOD\r\n"), 0);
}

} // namespace

// The cases a new user met in the first hour: each now says what was lost, and the exit status
// tells scripts.
TEST_F(GeftoolTest, LostDataAndUnreadableFilesAreNeverQuiet) {
  const std::string short_file = in_quotes(data("cpt_short.gef"));
  for (const char* command : {"info ", "info --json ", "dump ", "header ", "summary "}) {
    const Outcome run = geftool(command + short_file);
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_NE(run.err.find("data read up to scan 2: GEF-DATA: Unknown data entry is found in "
                           "scan 3, column 1."),
              std::string::npos)
        << command << run.err;
  }
  // Data that could not be read at all fails check, whatever the finding's level.
  Outcome run = geftool("check " + in_quotes(data("cpt_no_data.gef")));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("cpt_no_data.gef: failed; data read up to scan 0"), std::string::npos)
      << run.out;

  // The library's reasons, and the right advice for a folder.
  run = geftool("info " + in_quotes((dir_ / "absent.gef").string()));
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("Cannot open file"), std::string::npos) << run.err;
  run = geftool("dump " + in_quotes(dir_.string()));
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("It is a folder"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.empty()) << run.out;

  run = geftool("info --frob " + in_quotes(example("cpt_basic.gef")));
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--frob"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Usage: info"), std::string::npos) << run.err;
}

TEST_F(GeftoolTest, ExitStatusIsTheContract) {
  const struct {
    std::string arguments;
    int status;
  } cases[] = {
      {"check " + in_quotes(example("cpt_basic.gef")), 0},
      {"check " + in_quotes(data("header_faults.gef")), 1},
      {"check " + in_quotes(data("cpt_short.gef")), 1},
      {"check " + in_quotes(data("not_gef.gef")), 2},
      {"info " + in_quotes(example("cpt_basic.gef")), 0},
      {"info " + in_quotes(data("not_gef.gef")), 2},
      {"dump " + in_quotes(example("cpt_basic.gef")) + " " + in_quotes(data("not_gef.gef")), 2},
      {"header --json " + in_quotes(example("boring_layers.gef")), 0},
      {"summary " + in_quotes(example("cpt_basic.gef")) + " " +
           in_quotes(example("boring_layers.gef")),
       0},
      {"summary " + in_quotes(data("header_faults.gef")), 1},
  };
  for (const auto& c : cases) EXPECT_EQ(geftool(c.arguments).status, c.status) << c.arguments;
}

TEST_F(GeftoolTest, InfoGivesTheEngineersFactsAndJsonHoldsItsShape) {
  Outcome run = geftool("info " + in_quotes(example("cpt_basic.gef")));
  for (const char* expected :
       {"Date            2024-03-14 (STARTDATE)", "RD (Rijksdriehoeksmeting), EPSG:28992 (31000)",
        "Surface ZID     1.35 m NAP (31000)", "Depth range     1.33 to 0.35 m NAP",
        "Cone            EX-C10-0412", "Tip area        1000 mm2", "cone_resistance"})
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;

  json j = parsed(geftool("info --json " + in_quotes(example("cpt_basic.gef"))));
  EXPECT_EQ(j["schema"], 1);
  EXPECT_EQ(j["location"]["system"], "RD (Rijksdriehoeksmeting), EPSG:28992");
  EXPECT_EQ(j["surface"]["height_system"], "NAP");
  EXPECT_EQ(j["cone"]["tip_area"], 1000.0);
  EXPECT_EQ(j["max_cone_resistance"], 2.062);
  EXPECT_EQ(j["columns"][1]["standard_name"], "cone_resistance");
  EXPECT_EQ(j["data_complete"], true);
  // Absent is null, never a default: no accuracy, no cone, a report type from a dissipation test.
  j = parsed(geftool("info --json " + in_quotes(data("cpt_faults.gef"))));
  EXPECT_TRUE(j["surface"]["dz"].is_null()) << j["surface"];
  EXPECT_TRUE(j["location"]["x"].is_null());
  EXPECT_TRUE(j["cone"]["type"].is_null());
  std::string text = read_file(example("gefid2_dissipation.gef"));
  text.insert(text.find("#FILEOWNER"), "#PROCEDURECODE= GEF-DISS-Report, 1, 0, 0, -\n");
  const fs::path dissipation = dir_ / "dissipation.gef";
  std::ofstream(dissipation, std::ios::binary) << text;
  j = parsed(geftool("info --json " + in_quotes(dissipation.string())));
  EXPECT_EQ(j["report_type"], "GEF-DISS-Report") << j.dump(1);
  EXPECT_EQ(j["report_version"], "1.0.0");

  j = parsed(geftool("check --json " + in_quotes(data("header_faults.gef"))));
  EXPECT_EQ(j["schema"], 1);
  for (const char* key : {"code", "level", "class", "class_name", "text", "count"})
    EXPECT_TRUE(j["files"][0]["findings"][0].contains(key)) << key;
  j = parsed(geftool("header --json " + in_quotes(example("cpt_basic.gef"))));
  EXPECT_EQ(j["schema"], 1);
  bool area = false;
  for (const json& k : j["keywords"])
    if (k["keyword"] == "MEASUREMENTVAR" && k["number"] == 1)
      area = k["meaning"] == "nominal area of the cone tip (mm2)" && k["fields"][0] == "1000";
  EXPECT_TRUE(area) << j.dump(1);
}

TEST_F(GeftoolTest, SummaryGivesOneRowPerFile) {
  Outcome run = geftool("summary " + in_quotes(example("cpt_basic.gef")) + " " +
                        in_quotes(data("cpt_short.gef")));
  std::istringstream lines(run.out);
  std::string header, basic, cut;
  std::getline(lines, header);
  std::getline(lines, basic);
  std::getline(lines, cut);
  EXPECT_EQ(header.substr(0, 28), "file,report_type,test_id,x,y");
  EXPECT_NE(basic.find(",GEF-CPT-Report,S-04,132470.25,457823.6,\"RD (Rijksdriehoeksmeting), "
                       "EPSG:28992\",1.35,NAP,2024-03-14,50,1,2.062,,yes,"),
            std::string::npos)
      << basic;
  EXPECT_NE(cut.find(",2,0.04,1.5,error,no,\"data read up to scan 2"), std::string::npos) << cut;
}
