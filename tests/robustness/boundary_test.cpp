// SPDX-License-Identifier: MIT
// What the exports' catch handler records for each kind of exception that reaches it, and what
// every family of exports does without a document.
#include <cstdlib>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "api/boundary.h"
#include "gef/error_codes.h"
#include "support/document_fixture.h"

namespace gef::test {
namespace {

// An export body that throws, ending in the handler as every guarded export does.
template <typename Exception> int guarded(Exception e) try { throw e; }
GEF_CATCH(-1)

int guarded_unknown() try { throw 7; }
GEF_CATCH(-1)

class ExportBoundary : public DocumentTest {};

TEST_F(ExportBoundary, EveryExceptionBecomesAFailureAndAnEntry) {
  struct Case {
    const char* name;
    int (*call)();
    int code;
    const char* text;
  };
  const Case cases[] = {
      {"out of memory", [] { return guarded(std::bad_alloc()); }, GEF_E_OUT_OF_MEMORY, ""},
      {"container too long", [] { return guarded(std::length_error("vector")); },
       GEF_E_OUT_OF_MEMORY, ""},
      {"library fault", [] { return guarded(std::out_of_range("index 9")); }, GEF_E_NOTE,
       "Internal error: index 9"},
      {"anything else", guarded_unknown, GEF_E_NOTE, "Internal error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_error_list(document());
    EXPECT_EQ(c.call(), -1);
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0].code, c.code);
    EXPECT_EQ(errors()[0].level, 1);
    EXPECT_NE(message(0).find(c.text), std::string::npos);
  }
  free_gef();
  EXPECT_EQ(guarded(std::bad_alloc()), -1) << "without a document nothing is recorded";
}

// Before init_gef and after free_gef every family refuses or answers as for nothing stored,
// records nothing and never crashes; most do so too with a library but no document.
TEST(NoDocument, EveryFamilyRefusesQuietly) {
  const auto text = [](const char* s) { return std::string(s != nullptr ? s : "<null>"); };
  const struct {
    std::function<std::string()> call;
    std::string expected;
    bool without_document = true; // also after init_gef alone
  } cases[] = {
      {[] { return std::to_string(set_column(3)); }, "0", false},
      {[] { return std::to_string(set_data(1, 1, 1.0)); }, "1"},
      {[&] { return set_columntext_text(1, "x"), text(get_columntext_text_field(1, 1)); },
       "<null>"},
      {[] { return std::to_string(get_nr_scans()); }, "-1"},
      {[] { return std::to_string(get_reptxt_nextnr(1) + get_pi_nextnr(1)); }, "-2", false},
      {[&] {
         put_pi(1, 0, 0, "a", "b", "c", "d", "e");
         clear_all_reptxt_pi();
         return text(get_pi_tekst(1)) + std::to_string(get_pi_x(1));
       },
       "0.000000"},
      {[] {
         return std::to_string(
             report_text(document(), GEF_E_NOTE, "nobody listens", 0, 0, LEVEL_GEF_SEVERE));
       },
       "0"},
      {[] { return std::to_string(get_error_code()) + std::to_string(get_last_error_code()); },
       "0-1"},
      {[] { return std::to_string(get_error_level_all() + write_error_log("x")); }, "-1"},
      {[] { return std::to_string(load_codetexts("/nonexistent") + free_codetexts()); }, "1"},
      {[&] { return text(gbr_code2text("Zs1h2", nullptr)); }, "Z=???, S1=???, H2=???"},
      {[&] {
         char code[] = "Zs1";
         return text(gbr_NEN5104_splits(code));
       },
       "Z s1"},
      {[] { return std::to_string(gbr_get_nr_additional_strings(1) + gbr_is_gbr()); }, "0"},
      {[&] {
         char* additional = gbr_get_additional_string(1, 1);
         const std::string s = text(additional);
         std::free(additional);
         return s;
       },
       ""},
      {[] {
         return std::to_string(delete_column(1) + add_data_column("u", "q", 1, 0.0) +
                               create_new_empty_datablock(1, 1) + calc_columnminmax(1) +
                               calc_all_columnminmax() + qn2column(1) + maak_tijdkolom(12));
       },
       "0", false},
  };
  for (const char* state : {"never started", "started", "freed"}) {
    if (state[0] != 'n') { // started, then freed
      ASSERT_EQ(state[0] == 's' ? init_gef() : free_gef(), 1);
    }
    for (const auto& c : cases) {
      if (state[0] != 's' || c.without_document) {
        EXPECT_EQ(c.call(), c.expected) << state;
      }
    }
    EXPECT_EQ(the_header() == nullptr, state[0] != 's');
    EXPECT_EQ(get_last_error_code(), -1) << state;
  }
}

} // namespace
} // namespace gef::test
