// SPDX-License-Identifier: MIT
// What the exports' catch handler records for each kind of exception that reaches it.
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
    reset_error_list(g_document);
    EXPECT_EQ(c.call(), -1);
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0][0], c.code);
    EXPECT_EQ(errors()[0][4], 1);
    EXPECT_NE(message(0).find(c.text), std::string::npos);
  }
  free_gef();
  EXPECT_EQ(guarded(std::bad_alloc()), -1) << "without a document nothing is recorded";
}

} // namespace
} // namespace gef::test
