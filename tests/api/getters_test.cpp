// Getters: fields by name, absent values, number checks, searches, data values and per-scan texts.
#include <cfloat>
#include <climits>
#include <cstdlib>
#include <optional>

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
  EXPECT_EQ(get_nr_scans(), -1);
  EXPECT_EQ(get_columntext_text_field(1, 1), nullptr);

  ASSERT_EQ(init_gef(), 1);
  ASSERT_EQ(init_gef_general(4, 10), 1);
  reset_document(g_document);
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
  void SetUp() override {
    columns_ = 3;
    DocumentTest::SetUp();
    reset_document(g_document);
    store_line("COLUMN= 3");
  }
  // The one entry recorded since the last call, or a zero entry when there is not exactly one.
  ErrorEntry only_error() {
    const auto e = errors();
    reset_error_list(g_document);
    return e.size() == 1 ? e[0] : ErrorEntry{};
  }
  static ErrorEntry without_subject(ErrorEntry e) {
    e[1] = 0;
    return e;
  }
};

TEST_F(GetterTest, EnglishAndDutchNamesReadTheSameFields) {
  store_line("COLUMNINFO= 2, kPa, cone resistance, 2");
  EXPECT_STREQ(get_columninfo_Unit(2), "kPa");
  EXPECT_STREQ(get_columninfo_eenheid(2), "kPa");
  EXPECT_STREQ(get_columninfo_grootheid(2), "cone resistance");
  EXPECT_EQ(get_columninfo_nummer(2), 2);
  EXPECT_EQ(get_columninfo_Qnumber(3), -3);

  store_line("MEASUREMENTCODE= M, 2, 0, 1, iso");
  EXPECT_STREQ(get_measurementcode_code(), "M");
  EXPECT_EQ(get_measurementcode_Release(), 2);
  EXPECT_EQ(get_measurementcode_versie(), 0);
  EXPECT_EQ(get_measurementcode_update(), 1);
  EXPECT_STREQ(get_measurementcode_isoref(), "iso");

  store_line("MEASUREMENTTEXT= 4, conus, type");
  EXPECT_STREQ(get_measurementtext_Tekst(4), "conus");
  EXPECT_STREQ(get_measurementtext_toelichting(4), "type");
  store_line("SETUPVAR= 6, 7.75, a, b");
  EXPECT_EQ(get_setupvar_Value(6), 7.75f);
  EXPECT_STREQ(get_setupvar_Quantity(6), "b");

  store_line("COLUMNAMPLIFIER= 3, 0.5, 2, 4, 9, mV");
  EXPECT_EQ(get_columnamplifier_nulstand(3), 0.5f);
  EXPECT_EQ(get_columnamplifier_versterking(3), 2.0f);
  EXPECT_EQ(get_columnamplifier_beginscan(3), 4);
  EXPECT_EQ(get_columnamplifier_eindscan(3), 9);
  EXPECT_STREQ(get_columnamplifier_eenheid(3), "mV");

  store_line("CHILD= 2, ref, 1.5, m, depth, 7, expl");
  EXPECT_EQ(get_child_value(2), 1.5);
  EXPECT_EQ(get_child_qn(2), 7);
  EXPECT_STREQ(get_child_explanation(2), "expl");

  store_line("XYID= 31000, 1.5, 2.5, 0.1, 0.2");
  store_line("ZID= 31000, -1.5");
  EXPECT_EQ(get_xyid_kaarttype(), 31000);
  EXPECT_EQ(get_xyid_y(), 2.5);
  EXPECT_EQ(get_xyid_epsy(), 0.2);
  EXPECT_EQ(get_zid_z(), -1.5);
  EXPECT_EQ(get_zid_epsz(), 1.0); // not given
  EXPECT_EQ(get_zid_hoogtetype_flag(), 1);

  store_line("COLUMNSEPARATOR= ;");
  EXPECT_EQ(get_columnseperator(), ';');
  EXPECT_EQ(get_recordseparator(), '\0');
  EXPECT_EQ(get_recordseperator_flag(), 0);
  EXPECT_TRUE(errors().empty());
}

TEST_F(GetterTest, AbsentFieldsGiveTheirOwnAbsentValues) {
  EXPECT_EQ(get_objectid(), -2147483647);
  EXPECT_EQ(get_xyid_Epsx(), 1.0);
  EXPECT_EQ(get_xyid_X(), -DBL_MAX);
  EXPECT_EQ(get_zid_ReferenceID(), -1);
  EXPECT_EQ(get_firstscan(), INT_MAX);
  EXPECT_EQ(get_gefid_Release(), 32767);
  EXPECT_EQ(get_starttime_Sec(), FLT_MAX);
  EXPECT_EQ(get_companyid_CountryID(), 0);
  EXPECT_EQ(get_fileowner(), nullptr);

  // A file date's month and day follow its year; a start date's fields stand alone.
  store_line("FILEDATE= 2001");
  store_line("STARTDATE= 2001");
  EXPECT_EQ(get_filedate_Mm(), 0);
  EXPECT_EQ(get_startdate_Mm(), 32767);
  EXPECT_EQ(get_startdate_jaar(), 2001);

  // One-field keywords go by their presence count, so an empty text reads as empty.
  set_fileowner("");
  ASSERT_NE(get_fileowner(), nullptr);
  EXPECT_STREQ(get_fileowner(), "");
  EXPECT_TRUE(errors().empty());
}

TEST_F(GetterTest, NumbersOutOfRangeAreReported) {
  EXPECT_EQ(get_columninfo_flag(4), 0);
  EXPECT_EQ(only_error(), (ErrorEntry{7, KW_COLUMNINFO, 4, 3, 3}));
  EXPECT_EQ(get_columninfo_Qnumber(0), 0); // minus the number asked for
  EXPECT_EQ(only_error(), (ErrorEntry{7, KW_COLUMNINFO, 0, 3, 3}));
  EXPECT_EQ(get_analysistext_Text(0), nullptr);
  EXPECT_EQ(only_error(), (ErrorEntry{6, KW_ANALYSISTEXT, 0, 1500, 3}));
  EXPECT_EQ(get_comment(1501), nullptr);
  EXPECT_EQ(only_error(), (ErrorEntry{6, KW_COMMENT, 1501, 1500, 3}));
  EXPECT_EQ(get_child_value(1501), DBL_MAX);
  EXPECT_EQ(only_error(), (ErrorEntry{6, KW_CHILD, 1501, 1500, 3}));
  EXPECT_EQ(get_columnamplifier_Endrow(251), INT_MAX);
  EXPECT_EQ(only_error(), (ErrorEntry{7, KW_COLUMNAMPLIFIER, 251, 250, 3}));
  EXPECT_EQ(get_structuretype_flag(64), 0);
  EXPECT_EQ(only_error(), (ErrorEntry{6, KW_STRUCTURETYPE, 64, 63, 3}));
  EXPECT_EQ(get_dataconversion_scan(251), INT_MAX);
  EXPECT_EQ(only_error(), (ErrorEntry{6, KW_DATACONVERSION, 251, 250, 3}));
  EXPECT_EQ(get_dataconversion_scan(1), 1); // in range but absent
  EXPECT_EQ(get_dataconversion_qn_new(9), -9);
  EXPECT_TRUE(errors().empty());

  // A column count beyond the storage must not lead past it.
  store_line("COLUMN= 300");
  EXPECT_EQ(get_columninfo_Unit(260), nullptr);
  EXPECT_EQ(only_error(), (ErrorEntry{7, KW_COLUMNINFO, 260, 300, 3}));
}

TEST_F(GetterTest, SomeAbsentFieldsAreReportedToo) {
  EXPECT_EQ(get_columnvoid(2), DBL_MAX);
  EXPECT_EQ(only_error(), (ErrorEntry{7, KW_COLUMNVOID, 2, 3, 3}));
  EXPECT_EQ(get_scantime_beginscan(1), 1);
  EXPECT_EQ(only_error(), (ErrorEntry{6, KW_SCANTIME, 1, 250, 3}));

  EXPECT_EQ(get_columnpowersupply_Offset(1), 0.0f);
  EXPECT_EQ(get_columnpowersupply_Amplification(1), 1.0f);
  EXPECT_EQ(get_columnpowersupply_voedingskolom(1), -32767);
  EXPECT_EQ(get_columnpowersupply_Unit(1), nullptr);
  EXPECT_EQ(errors().size(), 4u);
  reset_error_list(g_document);

  // The power-supply column and unit are read when the offset was given, even if not themselves.
  store_line("COLUMNPOWERSUPPLY= 1, 0.5, , , V");
  EXPECT_EQ(get_columnpowersupply_Columnpowersupply(1), 0);
  EXPECT_STREQ(get_columnpowersupply_eenheid(1), "V");
  EXPECT_EQ(get_columnpowersupply_versterking(1), 1.0f);
  EXPECT_EQ(only_error(), (ErrorEntry{7, KW_COLUMNPOWERSUPPLY, 1, 3, 3}));
}

TEST_F(GetterTest, ScanTimesAndFrequenciesShareSlots) {
  store_line("SCANTIME= 0.5");
  store_line("SCANFREQUENCY= 4, 3");
  EXPECT_EQ(get_scanfreq_Value(1), 2.0f);
  EXPECT_EQ(get_scanfreq_waarde(2), 4.0f);
  EXPECT_EQ(get_scantime_Value(2), 0.25f);
  EXPECT_EQ(get_scanfreq_beginscan(2), 3);
  EXPECT_EQ(get_scantime_flag(2), 1);
  EXPECT_EQ(get_scanfreq_flag(3), 0);
  EXPECT_TRUE(errors().empty());
  set_scantime(0, -0.0f, 1);
  EXPECT_EQ(get_scanfreq_Value(3), FLT_MAX);
  EXPECT_EQ(get_scanfreq_Value(4), FLT_MAX);
  EXPECT_EQ(only_error(), (ErrorEntry{6, KW_SCANFREQUENCY, 4, 250, 3}));
}

TEST_F(GetterTest, EachKeywordReadsItsOwnEntry) {
  store_line("TIMECOLUMN= 3, 2, min");
  store_line("QNTIME= 12");
  EXPECT_EQ(get_timecolumn_kolom(), 3);
  EXPECT_EQ(get_qntime_Qn(), 12);
  EXPECT_EQ(get_qntime_Timecode(), 32767); // the default 1 was not given either
  EXPECT_EQ(get_qntime_Unit(), nullptr);   // the default "s" was not given
  EXPECT_EQ(get_qntime_flag(), 1);

  store_line("STRUCTURETEXT= COLUMNINFO, a, b");
  EXPECT_STREQ(get_structuretext_type2(KW_COLUMNINFO), "a");
  EXPECT_EQ(get_structuretext_type4(KW_COLUMNINFO), nullptr);
  EXPECT_EQ(get_structuretext_type9(KW_COLUMNINFO), nullptr);
  store_line("STRUCTURETYPE= SETUPVAR, , , , , , , , nine");
  EXPECT_STREQ(get_structuretype_type9(KW_SETUPVAR), "nine");
  EXPECT_EQ(get_structuretype_flag(KW_SETUPVAR), 1);

  store_line("DATACONVERSION= 2, 5, , lin, , , cone");
  EXPECT_EQ(get_dataconversion_flag_qn_old(2), 1);
  EXPECT_EQ(get_dataconversion_flag_scan(2), 0);
  EXPECT_EQ(get_dataconversion_scan(2), 1);
  EXPECT_STREQ(get_dataconversion_method(2), "lin");
  EXPECT_EQ(get_dataconversion_flag_quantity_new(2), 1);
  EXPECT_EQ(get_dataconversion_flag_qn_new(2), 0);
  EXPECT_EQ(get_dataconversion_flag(2), 1);
  EXPECT_TRUE(errors().empty());
}

TEST_F(GetterTest, QuantityGettersSearchBySlotContents) {
  store_line("QNVOID= 2, -1");
  store_line("QNVOID= 5");
  store_line("QNMINMAX= 5, , 9");
  EXPECT_EQ(get_qnvoid_flag(5), 1);
  EXPECT_EQ(get_qnvoid_flag(3), 0);
  EXPECT_EQ(get_qnvoid_Value(2), -1.0);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(get_qnvoid_Value(5), DBL_MAX);
  EXPECT_EQ(only_error(), (ErrorEntry{7, KW_QNVOID, 1, 3, 3}));
  EXPECT_EQ(get_qnvoid_Value(3), DBL_MAX);
  EXPECT_EQ(only_error(), (ErrorEntry{7, KW_QNVOID, 250, 3, 3}));

  EXPECT_EQ(get_qnminmax_Max(5), 9.0);
  EXPECT_EQ(get_qnminmax_Min(5), -DBL_MAX); // not given, not reported
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(get_qnminmax_Min(2), -DBL_MAX);
  EXPECT_EQ(only_error(), (ErrorEntry{7, KW_QNMINMAX, 250, 3, 3}));
}

TEST_F(GetterTest, DataValuesByColumnAndScan) {
  EXPECT_EQ(get_nr_scans(), -1); // a reset forgets it
  ASSERT_EQ(init_gef_general(3, 10), 1);
  EXPECT_EQ(get_nr_scans(), 10);
  set_data(2, 3, 4.5);
  EXPECT_EQ(get_data(2, 3), 4.5);
  EXPECT_EQ(get_data(4, 1), DBL_MAX);
  EXPECT_EQ(without_subject(only_error()), (ErrorEntry{7, 0, 4, 250, 3}));
  EXPECT_EQ(get_data(1, 11), DBL_MAX);
  EXPECT_EQ(without_subject(only_error()), (ErrorEntry{38, 0, 11, 10, 3}));
  // A column count grown past the data block reads nothing from beyond it.
  store_line("COLUMN= 5");
  reset_error_list(g_document);
  EXPECT_EQ(get_data(5, 10), DBL_MAX);
}

TEST_F(GetterTest, PerScanTextsAndTheirFields) {
  set_columntext_text(7, ";a;;b;c");
  EXPECT_STREQ(get_columntext_text(7), ";a;;b;c");
  EXPECT_EQ(get_columntext_text_flag(6), 0);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(get_columntext_text_flag(11), 0);
  EXPECT_EQ(without_subject(only_error()), (ErrorEntry{38, 0, 11, 10, 3}));
  EXPECT_EQ(get_columntext_text(0), nullptr);
  EXPECT_EQ(without_subject(only_error()), (ErrorEntry{38, 0, 0, 10, 3}));

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
