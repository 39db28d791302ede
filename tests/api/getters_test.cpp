// SPDX-License-Identifier: MIT
// Getters: fields by name, absent values, number checks, searches, data values and per-scan texts.
#include <algorithm>
#include <cfloat>
#include <climits>
#include <cstdlib>
#include <optional>

#include "gef/error_codes.h"
#include "support/getter_sweep.h"

namespace gef::test {
namespace {

// Every getter: the table's with number 1, the hand-written ones with typical arguments.
const std::vector<NamedGetter>& all_getters() {
  static const std::vector<NamedGetter> getters = [] {
    std::vector<NamedGetter> all = table_getters();
    const std::vector<NamedGetter> more = {
        {0, "get_dataconversion_scan", [](int n) { return outcome(get_dataconversion_scan(n)); }},
        {0, "get_scanfreq_Value", [](int n) { return outcome(get_scanfreq_Value(n)); }},
        {0, "get_scanfreq_waarde", [](int n) { return outcome(get_scanfreq_waarde(n)); }},
        {0, "get_data", [](int n) { return outcome(get_data(n, n)); }},
        {0, "get_columntext_text", [](int n) { return outcome(get_columntext_text(n)); }},
        {0, "get_columntext_text_flag", [](int n) { return outcome(get_columntext_text_flag(n)); }},
        {0, "get_columntext_text_field_flag",
         [](int n) { return outcome(get_columntext_text_field_flag(n, n)); }},
    };
    all.insert(all.end(), more.begin(), more.end());
    return all;
  }();
  return getters;
}

std::vector<Outcome> call_all() {
  std::vector<Outcome> out;
  for (const NamedGetter& g : all_getters()) out.push_back(g.call(1));
  return out;
}

TEST(GettersWithoutDocument, ReadLikeAnEmptyDocumentAndNeverCrash) {
  free_gef();
  const std::vector<Outcome> none = call_all();

  ASSERT_EQ(init_gef(), 1);
  ASSERT_EQ(init_gef_general(4, 10), 1);
  reset_document(document());
  const std::vector<Outcome> empty = call_all();
  ASSERT_EQ(none.size(), empty.size());
  for (std::size_t i = 0; i < none.size(); ++i) {
    const std::string& name = all_getters()[i].name;
    SCOPED_TRACE(name);
    EXPECT_EQ(none[i], empty[i]);
    EXPECT_FALSE(none[i].text.has_value());
    if (name.find("_flag") != std::string::npos) {
      EXPECT_EQ(none[i].number, 0.0);
    }
  }
  free_gef();
}

class GetterTest : public DocumentTest {
protected:
  GetterTest() : DocumentTest(3) {}
  void SetUp() override {
    DocumentTest::SetUp();
    reset_document(document());
    store_line("COLUMN= 3");
  }
  // The one entry recorded since the last call with subject 0, or a zero entry when there is
  // not exactly one.
  ErrorEntry only_error() {
    ErrorEntry e = errors().size() == 1 ? errors()[0] : ErrorEntry{};
    reset_error_list(document());
    e.subject = 0;
    return e;
  }
};

// One call of getter get_`getter` after storing `line` (if any): what it returns and records.
struct Read {
  const char* line;
  const char* getter;
  int number;
  Outcome want;
  ErrorEntry error; // all zero: nothing recorded
};

TEST_F(GetterTest, AbsentValuesDefaultsAndNumberChecks) {
  constexpr int kColumn = GEF_E_COLUMN_OUT_OF_RANGE, kNumber = GEF_E_NUMBER_OUT_OF_RANGE;
  const ErrorEntry supply = {kColumn, KW_COLUMNPOWERSUPPLY, 1, 3, 3};
  const ErrorEntry amplifier = {kColumn, KW_COLUMNAMPLIFIER, 251, 250, 3};
  const ErrorEntry beyond = {kColumn, KW_COLUMNINFO, 260, 300, 3};
  // clang-format off
  const Read reads[] = {
      // Absent fields give their own absent values, one row per type.
      {"", "xyid_X", 0, outcome(-DBL_MAX), {}},
      {"", "firstscan", 0, outcome(INT_MAX), {}},
      {"", "starttime_Sec", 0, outcome(FLT_MAX), {}},
      {"", "fileowner", 0, outcome(nullptr), {}},
      {"", "columninfo_Qnumber", 3, outcome(-3), {}}, // minus the number asked for
      {"", "dataconversion_scan", 1, outcome(1), {}},
      {"", "dataconversion_qn_new", 9, outcome(-9), {}},
      // A file date's month and day follow its year; a start date's fields stand alone.
      {"FILEDATE= 2001", "filedate_Mm", 0, outcome(0.0), {}},
      {"STARTDATE= 2001", "startdate_Mm", 0, outcome(32767), {}},
      {"", "startdate_jaar", 0, outcome(2001), {}},
      {"ZID= 31000, -1.5", "zid_epsz", 0, outcome(1.0), {}}, // not given
      {"COLUMNSEPARATOR= ;", "columnseperator", 0, outcome(';'), {}},
      {"", "recordseparator", 0, outcome(0.0), {}},
      {"", "recordseperator_flag", 0, outcome(0.0), {}},
      // Defaults of fields not given are not read either.
      {"QNTIME= 12", "qntime_Qn", 0, outcome(12), {}},
      {"", "qntime_Timecode", 0, outcome(32767), {}},
      {"", "qntime_Unit", 0, outcome(nullptr), {}},
      // Keyed and serial keywords read their own entry and field.
      {"STRUCTURETEXT= COLUMNINFO, a, b", "structuretext_type2", KW_COLUMNINFO, outcome("a"), {}},
      {"DATACONVERSION= 2, 5, , lin, , , cone", "dataconversion_flag_qn_old", 2, outcome(1), {}},
      {"", "dataconversion_flag_scan", 2, outcome(0.0), {}},
      {"", "dataconversion_flag_qn_new", 2, outcome(0.0), {}},
      // Scan times and frequencies share slots; a zero time has no frequency.
      {"SCANTIME= 0.5", "scanfreq_Value", 1, outcome(2.0), {}},
      {"SCANFREQUENCY= 4, 3", "scantime_Value", 2, outcome(0.25), {}},
      {"", "scanfreq_beginscan", 2, outcome(3), {}},
      {"", "scanfreq_flag", 3, outcome(0.0), {}},
      {"SCANTIME= -0, 1", "scanfreq_Value", 3, outcome(FLT_MAX), {}},
      {"", "scanfreq_Value", 4, outcome(FLT_MAX), {kNumber, KW_SCANFREQUENCY, 4, 250, 3}},
      // Quantity slots are searched by their contents.
      {"QNVOID= 2, -1", "qnvoid_Value", 2, outcome(-1.0), {}},
      {"QNVOID= 5", "qnvoid_flag", 5, outcome(1), {}},
      {"", "qnvoid_flag", 3, outcome(0.0), {}},
      {"", "qnvoid_Value", 5, outcome(DBL_MAX), {kColumn, KW_QNVOID, 1, 3, 3}},
      {"", "qnvoid_Value", 3, outcome(DBL_MAX), {kColumn, KW_QNVOID, 250, 3, 3}},
      {"QNMINMAX= 5, , 9", "qnminmax_Max", 5, outcome(9.0), {}},
      {"", "qnminmax_Min", 5, outcome(-DBL_MAX), {}}, // not given, not reported
      {"", "qnminmax_Min", 2, outcome(-DBL_MAX), {kColumn, KW_QNMINMAX, 250, 3, 3}},
      // Numbers out of range, and some absent fields, are reported.
      {"", "columninfo_flag", 4, outcome(0.0), {kColumn, KW_COLUMNINFO, 4, 3, 3}},
      {"", "columninfo_Qnumber", 0, outcome(0.0), {kColumn, KW_COLUMNINFO, 0, 3, 3}},
      {"", "analysistext_Text", 0, outcome(nullptr), {kNumber, KW_ANALYSISTEXT, 0, 1500, 3}},
      {"", "comment", 1501, outcome(nullptr), {kNumber, KW_COMMENT, 1501, 1500, 3}},
      {"", "columnamplifier_Endrow", 251, outcome(INT_MAX), amplifier},
      {"", "structuretype_flag", 64, outcome(0.0), {kNumber, KW_STRUCTURETYPE, 64, 63, 3}},
      {"", "dataconversion_scan", 251, outcome(INT_MAX), {kNumber, KW_DATACONVERSION, 251, 250, 3}},
      {"", "columnvoid", 2, outcome(DBL_MAX), {kColumn, KW_COLUMNVOID, 2, 3, 3}},
      {"", "scantime_beginscan", 4, outcome(1), {kNumber, KW_SCANTIME, 4, 250, 3}},
      {"", "columnpowersupply_Offset", 1, outcome(0.0), supply},
      {"", "columnpowersupply_Unit", 1, outcome(nullptr), supply},
      // The supply column and unit are read when the offset was given, even if not themselves.
      {"COLUMNPOWERSUPPLY= 1, 0.5, , , V", "columnpowersupply_voedingskolom", 1, outcome(0.0), {}},
      {"", "columnpowersupply_eenheid", 1, outcome("V"), {}},
      {"", "columnpowersupply_versterking", 1, outcome(1.0), supply},
      // A column count beyond the storage must not lead past it.
      {"COLUMN= 300", "columninfo_Unit", 260, outcome(nullptr), beyond},
  };
  // clang-format on
  for (const Read& r : reads) {
    SCOPED_TRACE(std::string(r.line) + " " + r.getter + "(" + std::to_string(r.number) + ")");
    if (*r.line != '\0') store_line(r.line);
    reset_error_list(document());
    const std::string name = std::string("get_") + r.getter;
    const auto g = std::find_if(all_getters().begin(), all_getters().end(),
                                [&](const NamedGetter& n) { return n.name == name; });
    ASSERT_NE(g, all_getters().end());
    EXPECT_EQ(g->call(r.number), r.want);
    EXPECT_EQ(errors(), r.error.code == 0 ? std::vector<ErrorEntry>{} : std::vector{r.error});
  }
  // One-field keywords go by their presence count, so an empty text reads as empty.
  set_fileowner("");
  EXPECT_STREQ(get_fileowner(), "");
}

TEST_F(GetterTest, DataValuesByColumnAndScan) {
  EXPECT_EQ(get_nr_scans(), -1); // a reset forgets it
  ASSERT_EQ(init_gef_general(3, 10), 1);
  EXPECT_EQ(get_nr_scans(), 10);
  set_data(2, 3, 4.5);
  EXPECT_EQ(get_data(2, 3), 4.5);
  EXPECT_EQ(get_data(4, 1), DBL_MAX);
  EXPECT_EQ(only_error(), (ErrorEntry{GEF_E_COLUMN_OUT_OF_RANGE, 0, 4, 250, 3}));
  EXPECT_EQ(get_data(1, 11), DBL_MAX);
  EXPECT_EQ(only_error(), (ErrorEntry{GEF_E_SCAN_OUT_OF_RANGE, 0, 11, 10, 3}));
  // A column count grown past the data block reads nothing from beyond it.
  store_line("COLUMN= 5");
  reset_error_list(document());
  EXPECT_EQ(get_data(5, 10), DBL_MAX);
}

TEST_F(GetterTest, PerScanTextsAndTheirFields) {
  set_columntext_text(7, ";a;;b;c");
  EXPECT_STREQ(get_columntext_text(7), ";a;;b;c");
  EXPECT_EQ(get_columntext_text_flag(6), 0);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(get_columntext_text_flag(11), 0);
  EXPECT_EQ(only_error(), (ErrorEntry{GEF_E_SCAN_OUT_OF_RANGE, 0, 11, 10, 3}));
  EXPECT_EQ(get_columntext_text(0), nullptr);
  EXPECT_EQ(only_error(), (ErrorEntry{GEF_E_SCAN_OUT_OF_RANGE, 0, 0, 10, 3}));

  const auto field = [](int scan, int k) {
    char* copy = get_columntext_text_field(scan, k);
    std::optional<std::string> out;
    if (copy != nullptr) out = copy;
    std::free(copy);
    return out;
  };
  // Without a column separator the whole text is one field.
  EXPECT_EQ(field(7, 1), ";a;;b;c");
  EXPECT_EQ(field(7, 2), std::nullopt);
  store_line("COLUMNSEPARATOR= ;");
  EXPECT_EQ(field(7, 2), "b");
  EXPECT_EQ(field(7, 3), "c");
  EXPECT_EQ(field(7, 4), std::nullopt);
  EXPECT_EQ(field(7, 0), ";a;;b;c");
  EXPECT_EQ(get_columntext_text_field_flag(7, 3), 1);
  EXPECT_EQ(get_columntext_text_field_flag(7, 4), 0);
  EXPECT_EQ(field(6, 1), std::nullopt);

  char* item = get_columntext_text_field_item("  x, y ,,z", 3, " ,");
  EXPECT_STREQ(item, "z");
  std::free(item);
  EXPECT_EQ(get_columntext_text_field_item("x", 0, ","), nullptr);
  EXPECT_EQ(get_columntext_text_field_item(nullptr, 1, ","), nullptr);
  EXPECT_EQ(get_columntext_text_field_item("x", 1, nullptr), nullptr);
  EXPECT_EQ(get_columntext_text_field_item_flag(",,", 1, ","), 0);
  EXPECT_EQ(get_columntext_text_field_item_flag("a,b", 2, ","), 1);
  EXPECT_TRUE(errors().empty());
}

} // namespace
} // namespace gef::test
