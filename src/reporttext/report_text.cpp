// Report text items kept as REPORTTEXT occurrences: finding free serial numbers.
#include "document/record.h"
#include "gef/reporttext.h"

namespace {

constexpr int kLastUsable = 1499;  // serial 1500 exists but is never handed out as free

}  // namespace

int get_reptxt_nextnr(int n) {
  gef::Document* doc = gef::current();
  if (doc == nullptr) return -1;
  for (int s = n < 1 ? 1 : n; s <= kLastUsable; ++s)
    if (gef::entry(*doc, gef::KW_REPORTTEXT, s - 1).present == 0) return s;
  return -1;
}
