// SPDX-License-Identifier: MIT
// Library start, editing initialisers, release, busy flag and the escaping helpers.
#include <cstdlib>
#include <cstring>

#include "support/document_fixture.h"

namespace gef::test {
namespace {

class LifecycleTest : public ::testing::Test {
protected:
  void TearDown() override { free_gef(); }
};

TEST_F(LifecycleTest, EditingDocumentHasSizeVersionAndProcedureCode) {
  ASSERT_EQ(init_gef(), 1);
  ASSERT_EQ(init_gef_for_editing(3, 100), 1);
  EXPECT_EQ(entry_of(KW_COLUMN).field[0].i, 3);
  EXPECT_EQ(entry_of(KW_LASTSCAN).field[0].i, 100);
  EXPECT_EQ(document().scan_count, 100);
  EXPECT_EQ(document().scan_known, 1);
  EXPECT_EQ(stored(KW_GEFID), "7: 1, 1, 0");
  EXPECT_EQ(stored(KW_PROCEDURECODE), "31: GEF-CPT-Report, 1, 0, 0, -");
  for (int i = 0; i < 300; ++i) ASSERT_EQ(library().data[i], 0.0);
  EXPECT_EQ(library().column_texts.size(), 100u);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(get_last_error_code(), -1);

  // A general document has none, and a larger one may follow a smaller one.
  ASSERT_EQ(init_gef_general(2, 5), 1);
  EXPECT_EQ(entry_of(KW_PROCEDURECODE).present, 0);
  for (char* text : library().column_texts) EXPECT_EQ(text, nullptr);
  ASSERT_EQ(init_gef_general(10, 1000), 1);
  EXPECT_EQ(entry_of(KW_LASTSCAN).field[0].i, 1000);
  ASSERT_EQ(init_gef_for_editing(20, 2000), 1);
  EXPECT_EQ(entry_of(KW_COLUMN).field[0].i, 20);
  EXPECT_EQ(library().column_texts.size(), 2000u);
  EXPECT_TRUE(errors().empty());
}

TEST_F(LifecycleTest, ImpossibleSizesAreRefused) {
  ASSERT_EQ(init_gef(), 1);
  EXPECT_EQ(init_gef_for_editing(-1, 10), 0);
  EXPECT_EQ(init_gef_for_editing(3, -1), 0);
  EXPECT_EQ(init_gef_for_editing(100000, 100000), 0);
  EXPECT_EQ(error_codes(), (std::vector<int>{GEF_E_BLOCK_TOO_LARGE})); // each start empties it
  EXPECT_EQ(document().data_present, 0);
  EXPECT_EQ(document().scan_known, 0);
  set_data(1, 1, 2.0); // no data block: reported, nothing written
  EXPECT_EQ(init_gef_for_editing(0, 0), 1);
}

TEST_F(LifecycleTest, ResetForgetsKeywordsAndEmptiesTheErrorList) {
  ASSERT_EQ(init_gef_general(2, 3), 1);
  store_line("COLUMNINFO= 2, m, depth, 1");
  store_line("COMPANYID= firm, 1, 31");
  store_line("NOPE= 1");
  store_line("COLUMN= 2");
  store_line("REPORTDATAFORMAT= F8.2");
  ASSERT_EQ(errors().size(), 1u);
  reset_document(document());
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(get_last_error_code(), -1);
  EXPECT_EQ(document().errors->text_count, 0);
  EXPECT_EQ(entry_of(KW_COLUMNINFO, 1).present, 0);
  EXPECT_EQ(entry_of(KW_COLUMNINFO, 1).field[0].s, nullptr);
  EXPECT_EQ(entry_of(KW_COLUMNINFO, 1).field[2].i, -1); // the table's reset value
  EXPECT_EQ(document().scan_known, 0);
  EXPECT_EQ(document().data_present, 1); // the data block stays
}

TEST_F(LifecycleTest, FreeReleasesEverythingAndCanStartAgain) {
  ASSERT_EQ(init_gef_general(2, 3), 1);
  set_columntext_text(1, "clay");
  set_comment("kept until free");
  EXPECT_EQ(free_gef(), 1);
  EXPECT_EQ(the_header(), nullptr);
  EXPECT_EQ(free_gef(), 1);
  // Also when the scan count is not known.
  ASSERT_EQ(init_gef_general(2, 3), 1);
  reset_document(document());
  EXPECT_EQ(free_gef(), 1);
  EXPECT_EQ(the_header(), nullptr);
  EXPECT_EQ(document().errors, nullptr);
  // Building documents in a loop must not grow memory (the sanitizer run checks for leaks).
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(init_gef_for_editing(0, 0), 0); // needs init_gef first
    ASSERT_EQ(init_gef(), 1);
    ASSERT_EQ(init_gef_for_editing(3, 20), 1);
    set_columninfo(1, "m", "depth", 1);
    set_columninfo(1, "m", "depth again", 1);
    set_columntext_text(2, "sand");
    store_line("BAD= 1");
    ASSERT_EQ(free_gef(), 1);
  }
}

TEST(BusyFlag, LockUnlock) {
  // Braced lists evaluate in order.
  const std::vector<int> results{IsLocked(), Unlock(), Lock(),    Lock(),
                                 IsLocked(), Unlock(), IsLocked()};
  EXPECT_EQ(results, (std::vector<int>{0, 0, 1, 0, 1, 1, 0}));
}

// The text `escape` returns, released through the caller's free() as the library asks.
std::string escaped(char* (*escape)(const char*), const std::string& text) {
  char* out = escape(text.c_str());
  const std::string s(out);
  std::free(out);
  return s;
}

TEST(Escaping, RoundTripAndLimits) {
  EXPECT_EQ(escaped(gg_add_slash, "a#b,c\\d"), "a\\#b\\,c\\\\d");
  EXPECT_EQ(escaped(gg_remove_slash, "a\\#b\\,c\\\\d"), "a#b,c\\d");
  EXPECT_EQ(escaped(gg_remove_slash, "x\\ty\\nz"), "x\ty\\nz");
  EXPECT_EQ(escaped(gg_remove_slash, "end\\"), "end\\");
  EXPECT_EQ(escaped(gg_remove_slash, ""), "");
  char* none = gg_add_slash(nullptr);
  EXPECT_STREQ(none, "");
  std::free(none);
  // Results are cut at 255 characters and never end in half an escape.
  EXPECT_EQ(escaped(gg_add_slash, std::string(300, 'a')), std::string(255, 'a'));
  EXPECT_EQ(escaped(gg_add_slash, std::string(200, ',')).size(), 254u);
  EXPECT_EQ(escaped(gg_remove_slash, std::string(400, 'b')).size(), 255u);
}

} // namespace
} // namespace gef::test
