// Free REPORTTEXT serial numbers for new report text items.
#include "support/document_fixture.h"

namespace gef::test {
namespace {

using ReportTextTest = DocumentTest;

TEST_F(ReportTextTest, NextFreeSerialNumber) {
  EXPECT_EQ(get_reptxt_nextnr(1), 1);
  set_reporttext(1, "a", "pi");
  set_reporttext(2, "b", "pi");
  EXPECT_EQ(get_reptxt_nextnr(1), 3);
  EXPECT_EQ(get_reptxt_nextnr(0), 3);
  EXPECT_EQ(get_reptxt_nextnr(5), 5);
  set_reporttext(1499, "c", "x");
  EXPECT_EQ(get_reptxt_nextnr(1499), -1);
  EXPECT_EQ(get_reptxt_nextnr(1500), -1);
  EXPECT_EQ(get_reptxt_nextnr(1498), 1498);
}

TEST(ReportTextWithoutDocument, NoSerialNumber) { EXPECT_EQ(get_reptxt_nextnr(1), -1); }

}  // namespace
}  // namespace gef::test
