// SPDX-License-Identifier: MIT
// geftool: the command line to check, inspect and convert GEF files with libgef.
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include <gef/version.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#ifdef _WIN32
#include <windows.h>
#endif

#include "check.h"
#include "convert.h"
#include "dif.h"
#include "dump.h"
#include "header.h"
#include "info.h"
#include "map.h"
#include "parallel.h"
#include "plot.h"
#include "summary.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // Everything geftool prints is UTF-8; without this a Windows console shows it as mojibake.
  SetConsoleOutputCP(CP_UTF8);
#endif
#if defined(__GLIBC__)
  // geftool reads file after file. What one file freed is kept for the next instead of going
  // back to the system, where the next file would fault it in again page by page; on virtual
  // machines that costs more than reading a typical file. 32 MB is the most glibc takes.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
  CLI::App app{"geftool: check, inspect and convert GEF files (Geotechnical Exchange Format).\n"
               "Texts from the files are printed as UTF-8; bytes that are not valid UTF-8 are "
               "read as Windows-1252.",
               "geftool"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "geftool " GEF_VERSION_STRING);

  // Every subcommand is registered in one shape: name, help and what runs when it is parsed.
  std::vector<std::pair<CLI::App*, std::function<int()>>> commands;
  auto command = [&](const char* name, const char* help, std::function<int()> run) {
    commands.emplace_back(app.add_subcommand(name, help), std::move(run));
    return commands.back().first;
  };
  // The commands over many files read them on -j threads; the output is the same for any -j.
  auto add_paths = [](CLI::App* sub, std::vector<std::string>& paths, int& jobs) {
    sub->add_option("paths", paths, "GEF files, or folders searched for *.gef")->required();
    jobs = geftool::default_jobs();
    sub->add_option("-j,--jobs", jobs,
                    "Files read at once, each on a thread of its own (default: the number of "
                    "cores); the output is the same for any number")
        ->check(CLI::Range(1, 1024));
  };
  // The commands that turn one GEF file into another file.
  auto add_input_output = [](CLI::App* sub, std::string& input, std::string& output,
                             const char* output_help) {
    sub->add_option("input", input, "GEF file to read")->required();
    sub->add_option("output", output, output_help)->required();
  };
  std::string codes;

  geftool::CheckOptions check;
  std::string fail_on = "error";
  CLI::App* check_cmd =
      command("check",
              "Read GEF files, run the format's rule sets and list the findings by level. Each "
              "file's line tells its data (complete, read short, unreadable) apart from the "
              "rules' findings: HEADER reports the keywords and their fields, DATA the data "
              "block against the header, GEF-CPT-Report and GEF-BORE-Report the report "
              "standard's required keywords and texts (which many downloads do not meet while "
              "their data are sound).\nExit status: 0 every file's data complete and no "
              "finding at the --fail-on level, 1 otherwise, 2 a file could not be read or an "
              "argument is wrong.",
              [&] {
                check.fail_on = fail_on == "never"    ? 0
                                : fail_on == "severe" ? 1
                                : fail_on == "minor"  ? 3
                                                      : 2;
                return geftool::run_check(check);
              });
  add_paths(check_cmd, check.paths, check.jobs);
  check_cmd
      ->add_option("--rules", check.rules,
                   "Comma-separated rule sets to run on every file (HEADER, DATA, "
                   "GEF-CPT-Report, GEF-BORE-Report); default: those that apply to each file")
      ->delimiter(',');
  check_cmd->add_option("--log", check.log,
                        "Also write the library's error log to this file (several files: one "
                        "section per file)");
  check_cmd->add_flag("--json", check.json, "Print the report as JSON");
  check_cmd->add_flag("-q,--quiet", check.quiet, "Print only the summary line of each file");
  check_cmd
      ->add_option("--fail-on", fail_on,
                   "The least serious finding that fails a file: severe, error (default), minor, "
                   "or never (only data read short fail); --fail-on severe asks whether the data "
                   "are usable")
      ->check(CLI::IsMember({"severe", "error", "minor", "never"}));

  std::string info_path;
  bool info_json = false;
  double equilibrium = 0;
  CLI::Option* equilibrium_option = nullptr;
  CLI::App* info_cmd =
      command("info", "Summarise one GEF file: identity, report, location, columns.", [&] {
        return geftool::run_info(
            info_path, info_json, codes,
            equilibrium_option->count() != 0 ? std::optional<double>(equilibrium) : std::nullopt);
      });
  info_cmd->add_option("file", info_path, "GEF file")->required();
  info_cmd->add_flag("--json", info_json, "Print the summary as JSON");
  const char* codes_help = "Code-text file that expands the layer descriptions of borings, or "
                           "en / nl for the English or Dutch soil codes shipped with geftool "
                           "(default: en)";
  info_cmd->add_option("--codes", codes, codes_help);
  equilibrium_option =
      info_cmd->add_option("--equilibrium", equilibrium,
                           "Equilibrium pore pressure of a dissipation test, in its column's unit, "
                           "for t50 (default: the last reading)");

  geftool::DumpOptions dump;
  std::string dump_names = "standard", dump_voids = "empty", dump_adds;
  bool voids_empty = false, file_column = false;
  CLI::Option* file_column_flag = nullptr;
  CLI::App* dump_cmd =
      command("dump",
              "Write the data blocks of GEF files as one CSV table to standard output, columns "
              "named by standard quantity and unit (cone_resistance_MPa).\nExit status: 0 all "
              "data written, 1 a data block was read short, 2 a file could not be read.",
              [&] {
                dump.producer_names = dump_names == "file";
                dump.keep_voids = dump_voids == "keep" && !voids_empty;
                if (file_column_flag->count() > 0) dump.file_column = file_column;
                dump.codes = codes;
                // The elevation is dump's own column; the others are added to the document.
                std::string adds;
                std::stringstream names(dump_adds);
                for (std::string name; std::getline(names, name, ',');)
                  if (name == "elevation")
                    dump.elevation = true;
                  else
                    adds += name + ",";
                dump.adds = adds;
                return geftool::run_dump(dump);
              });
  add_paths(dump_cmd, dump.paths, dump.jobs);
  dump_cmd
      ->add_option("--names", dump_names,
                   "Column names: standard (quantity and unit) or file (the producer's text)")
      ->check(CLI::IsMember({"standard", "file"}));
  dump_cmd->add_option("--voids", dump_voids, "Void values: empty cells (default) or keep")
      ->check(CLI::IsMember({"empty", "keep"}));
  dump_cmd->add_flag("--voids-empty", voids_empty, "Leave void values empty (the default)");
  file_column_flag = dump_cmd->add_flag(
      "--file-column,!--no-file-column", file_column,
      "A first column with the file of each row (default: on for several files)");
  dump_cmd->add_option("--codes", codes, codes_help);
  const char* adds_help = "Append computed columns: a comma list of rf, rf-shifted, depth "
                          "(exit status 1 when one cannot be computed)";
  dump_cmd->add_option("--add", dump_adds,
                       "Append computed columns: a comma list of rf, rf-shifted, depth, and "
                       "elevation (ground level from #ZID less the corrected depth or penetration "
                       "length, named by height system: elevation_NAP_m); exit status 1 when one "
                       "cannot be computed");
  dump_cmd->add_option("--per-file", dump.per_file,
                       "Write one CSV per input file into this folder instead of one table on "
                       "standard output");

  std::string header_path;
  bool header_json = false;
  CLI::App* header_cmd =
      command("header",
              "List every keyword line of one GEF file as the library holds it, with the standard "
              "meaning where known.",
              [&] { return geftool::run_header(header_path, header_json); });
  header_cmd->add_option("file", header_path, "GEF file")->required();
  header_cmd->add_flag("--json", header_json, "Print the keywords as JSON");

  std::vector<std::string> summary_paths;
  bool summary_json = false;
  int summary_jobs = 1;
  CLI::App* summary_cmd =
      command("summary",
              "One CSV row per GEF file: report, test, location, date, scans, depth, maximum "
              "cone resistance, worst finding, data complete.\nExit status: 0 all complete "
              "without severe or error findings, 1 otherwise, 2 a file could not be read.",
              [&] { return geftool::run_summary(summary_paths, summary_json, summary_jobs); });
  add_paths(summary_cmd, summary_paths, summary_jobs);
  summary_cmd->add_flag("--json", summary_json, "Print the rows as JSON");

  std::vector<std::string> plot_paths;
  std::string plot_output;
  CLI::App* plot_cmd =
      command("plot",
              "Draw GEF files as SVG: a CPT's cone resistance, friction ratio and pore "
              "pressure against depth, a boring's log, a dissipation test's pore pressure "
              "against time, or several CPTs and borings side by side.",
              [&] { return geftool::run_plot(plot_paths, plot_output, codes); });
  plot_cmd->add_option("files", plot_paths, "GEF files; several are drawn side by side")
      ->required();
  plot_cmd->add_option("--codes", codes, codes_help);
  plot_cmd->add_option("-o,--output", plot_output, "SVG file to write")->required();

  geftool::ConvertOptions convert;
  CLI::App* convert_cmd =
      command("convert",
              "Rewrite a GEF file through the library: header in the format's order, data in "
              "the layout asked for. Without --format each column gets the shortest number "
              "format that writes all its values back exactly. The written file is read back "
              "and every keyword field, value or text it does not hold as the input did is "
              "told.\nExit status: 0 written whole, 1 something was lost (a field the "
              "library could not keep, a value a format rounded, a data block read short) or "
              "only the header could be written, 2 input unreadable, output not writable or "
              "a wrong argument.",
              [&] { return geftool::run_convert(convert); });
  add_input_output(convert_cmd, convert.input, convert.output, "GEF file to write");
  CLI::Option* binary =
      convert_cmd->add_flag("--binary", convert.binary, "Write the data block as binary records");
  convert_cmd
      ->add_option("--datatype", convert.datatype,
                   "Element type of the binary records (default: the file's, else DOUBLE)")
      ->check(CLI::IsMember({"INT", "INT2", "INT4", "LONG", "FLOAT", "REAL4", "DOUBLE", "REAL8"},
                            CLI::ignore_case))
      ->needs(binary);
  convert_cmd->add_flag("--ascii", convert.ascii, "Write the data block as text")->excludes(binary);
  CLI::Option* separators =
      convert_cmd
          ->add_option("--separators", convert.separators,
                       "Column and record separator characters of the text data block")
          ->expected(2);
  convert_cmd
      ->add_flag("--no-separators", convert.no_separators,
                 "Write the text data block without separators (values apart by blanks)")
      ->excludes(separators)
      ->excludes(binary);
  convert_cmd->add_option("--format", convert.format,
                          "Number formats of the text data block (REPORTDATAFORMAT tokens such "
                          "as \"F8.2 E12.4\")");
  convert_cmd->add_option("--add", convert.adds, adds_help);
  convert_cmd->add_flag("--allow-loss", convert.allow_loss,
                        "Exit 0 even when the output lost something (the losses are still told)");

  std::string dif_input, dif_output;
  CLI::App* dif_cmd = command(
      "dif",
      "Export the data block of a GEF file as a DIF table (quantities, units, one row "
      "per scan, voids blank).\nExit status: 0 written, 1 the data block was read short (told "
      "on stderr), 2 input unreadable or output not "
      "writable.",
      [&] { return geftool::run_dif(dif_input, dif_output); });
  add_input_output(dif_cmd, dif_input, dif_output, "DIF file to write");

  geftool::MapOptions map;
  CLI::App* map_cmd =
      command("map",
              "Write the files' locations as one GeoJSON FeatureCollection (WGS84), a point per "
              "file with its test, report, date, depth, ground level and worst finding.\nExit "
              "status: 0 every file on the map, 1 a file without a usable location (listed on "
              "stderr), 2 a file could not be read or the output not written.",
              [&] { return geftool::run_map(map); });
  add_paths(map_cmd, map.paths, map.jobs);
  map_cmd->add_option("-o,--output", map.output,
                      "GeoJSON file to write (default: standard output)");
  // CLI11 would only say that a subcommand is required; name the word it did not know.
  const std::string first = argc > 1 ? argv[1] : "";
  const bool option = !first.empty() && first[0] == '-';
  const bool known_option = first == "-h" || first == "--help" || first == "--version";
  if (argc > 1 &&
      (option
           ? !known_option
           : app.get_subcommands([&](CLI::App* sub) { return sub->check_name(first); }).empty())) {
    std::cerr << "geftool: unknown " << (option ? "option" : "command") << " '" << first << "'\n\n";
    const std::string help = app.help();
    std::cerr << help.substr(0, help.find("\n\n")) << "\n\nRun with --help for more information.\n";
    return 2;
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help and version are successes; every other parse problem is a wrong argument, told with
    // the first lines of the help of the command it was given to.
    if (e.get_exit_code() == 0) return app.exit(e);
    std::cerr << "geftool: " << e.what() << "\n\n";
    CLI::App* about = &app;
    for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; }))
      if (argc > 1 && sub->check_name(argv[1])) about = sub;
    const std::string help = about->help();
    std::cerr << help.substr(0, help.find("\n\n")) << "\n\nRun with --help for more information.\n";
    return 2;
  }

  for (const auto& [sub, run] : commands)
    if (sub->parsed()) return run();
  return 2;
}
