// SPDX-License-Identifier: MIT
// Deletes: every table row removes what it names completely, and only that.
#include <algorithm>
#include <functional>

#include "api/deletes.h"
#include "gef/error_codes.h"
#include "support/files.h"
#include "support/getter_sweep.h"

namespace gef::test {
namespace {

struct Delete {
  int code;
  const char* name;
  std::function<int(int)> call;
  int number; // the argument that names the stored occurrence
};

constexpr int kQuantity = 7; // every stored integer field, so also the quantity number

const std::vector<Delete>& deletes() {
  static const std::vector<Delete> all = {
#define GEF_DELETE(Function, NAME, Number)                                                         \
  {KW_##NAME, #Function, [](int n) { return GEF_TEST_CALL_##Number(Function, n); },                \
   GEF_TEST_NUMBER_##Number},
#define GEF_TEST_NUMBER_NONE 0
#define GEF_TEST_NUMBER_COLUMN 2
#define GEF_TEST_NUMBER_SERIAL 1
#define GEF_TEST_NUMBER_QUANTITY kQuantity
#include "document/keywords.def"
  };
  return all;
}

// Reads every field of keyword `code`; an argument-less delete's keyword is read at number 1.
std::vector<Outcome> read_keyword(int code, int number) {
  number = std::max(number, 1);
  std::vector<Outcome> out;
  for (const NamedGetter& g : table_getters())
    if (g.code == code) out.push_back(g.call(number));
  return out;
}

// Stores one occurrence of `code` with every field given, numbered `number` where it has one.
void store_full(int code, int number) {
  const KeywordInfo& kw = keyword_info(code);
  std::vector<std::string> texts;
  if (kw.shape == Shape::NUMBERED) texts.push_back(std::to_string(number));
  for (int k = 0; k < kw.field_count; ++k) {
    switch (field_info(code, k).type) {
    case FieldType::INT: texts.push_back(std::to_string(kQuantity)); break;
    case FieldType::FLOAT: texts.push_back("2.5"); break;
    case FieldType::DOUBLE: texts.push_back("3.5"); break;
    case FieldType::CHAR: texts.push_back(";"); break;
    case FieldType::TEXT: texts.push_back("t"); break;
    }
  }
  const void* args[kMaxFields] = {};
  for (std::size_t i = 0; i < texts.size(); ++i) args[i] = texts[i].c_str();
  InputModeScope text(document(), STRING);
  ASSERT_EQ(store_keyword(document(), code, kw.name, args), 1);
}

class DeleteTest : public DocumentTest {
protected:
  void fresh(int code) {
    reset_document(document());
    if (code != KW_COLUMN) store_line("COLUMN= 3");
  }
};

TEST_F(DeleteTest, EveryRowRemovesItsOccurrenceCompletely) {
  for (const Delete& d : deletes()) {
    SCOPED_TRACE(d.name);
    const KeywordInfo& kw = keyword_info(d.code);
    fresh(d.code);
    const std::vector<Outcome> absent = read_keyword(d.code, d.number);
    store_full(d.code, d.number);
    const std::vector<Outcome> stored = read_keyword(d.code, d.number);
    EXPECT_NE(stored, absent);
    reset_error_list(document());

    EXPECT_EQ(d.call(d.number), 1);
    EXPECT_TRUE(errors().empty());
    if (kw.rule == Rule::ONCE) { // GEFID survives
      EXPECT_EQ(read_keyword(d.code, d.number), stored);
      continue;
    }
    EXPECT_EQ(read_keyword(d.code, d.number), absent);
    const Entry& e = entry_of(kw.area, kw.shape == Shape::NUMBERED ? d.number - 1 : 0);
    EXPECT_EQ(e.present + e.bits, 0);
    for (int k = 0; k < kw.field_count; ++k)
      EXPECT_TRUE(field_info(d.code, k).type != FieldType::TEXT || e.field[k].s == nullptr);

    // A one-text keyword stored with an empty text survives.
    if (kw.shape == Shape::SINGLE && kw.field_count == 1 &&
        field_info(d.code, 0).type == FieldType::TEXT) {
      store_line(std::string(kw.name) + "= ");
      EXPECT_EQ(d.call(0), 1);
      EXPECT_EQ(e.present, 1);
    }
  }
}

TEST_F(DeleteTest, NumbersPickOneOccurrenceAndOthersKeepTheirPlace) {
  fresh(0);
  for (int c = 1; c <= 5; ++c) set_columninfo(c, "m", "q", c);
  del_columninfo(2);
  EXPECT_EQ(get_columninfo_flag(2), 0);
  EXPECT_EQ(get_columninfo_Qnumber(3), 3);
  // COLUMNINFO reaches one column past COLUMN, the other column keywords all 250 slots.
  del_columninfo(4);
  del_columninfo(5);
  EXPECT_EQ(entry_of(KW_COLUMNINFO, 3).present + entry_of(KW_COLUMNINFO, 4).present, 1);
  set_columnvoid(250, 1.0);
  del_columnvoid(250);
  EXPECT_EQ(entry_of(KW_COLUMNVOID, 249).present, 0);

  // A quantity number picks the first slot holding it; the freed slot is reused first.
  set_qnvoid(5, 1.0);
  set_qnvoid(6, 2.0);
  set_qnvoid(5, 3.0);
  del_qnvoid(5);
  EXPECT_EQ(get_qnvoid_Value(5), 3.0);
  set_qnvoid(9, 4.0);
  EXPECT_EQ(entry_of(KW_QNVOID, 0).field[0].i, 9);

  set_comment("a");
  set_comment("b");
  del_comment(); // every comment
  EXPECT_EQ(get_comment_flag(1) + get_comment_flag(2), 0);

  // A text kept with a clear bit (a setter given null keeps it) goes too.
  set_columninfo(1, nullptr, nullptr, 2);
  del_columninfo(1);
  EXPECT_EQ(entry_of(KW_COLUMNINFO, 0).field[0].s, nullptr);

  for (int n : {0, -1, 1501, INT32_MIN, INT32_MAX})
    EXPECT_EQ(del_analysistext(n) + del_columnminmax(n) + del_qnminmax(n) + del_scantime(n), 4);
  EXPECT_TRUE(errors().empty());
}

TEST_F(DeleteTest, OutputFormatsGoAlongAndUnknownNamesAreRefused) {
  set_reportdataformat("F7.2 F8.3");
  del_reportdataformat();
  set_data(2, 1, 1.5);
  const ScratchDir scratch;
  ASSERT_EQ(write_gef(scratch.file("out.gef").c_str()), 1); // in the default format again
  EXPECT_NE(slurp_file(scratch.file("out.gef")).find("\n0.0000e+00 1.5000e+00 "),
            std::string::npos);
  EXPECT_EQ(delete_keyword(document(), "NOSUCH", 1), 0);
  EXPECT_EQ(errors(), (std::vector<ErrorEntry>{{GEF_E_UNKNOWN_KEYWORD, kTextSubject, 0, 0, 3}}));
  free_gef();
  EXPECT_EQ(del_os() + del_columninfo(1), 0); // no document
}

} // namespace
} // namespace gef::test
