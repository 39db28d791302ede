// The rule set of boring reports: recognition and the five rule groups.
#pragma once

#include "document/record.h"

namespace gef {

// Whether REPORTCODE names a GEF-BORE-Report (dash or underscore, any letter case).
bool is_bore_report(Document& doc);

// The five groups in order; each returns true when it recorded nothing that fails.
bool check_bore_header(Document& doc);
bool check_bore_samples(Document& doc);
bool check_nen5104_header(Document& doc);
bool check_bore_descriptions(Document& doc);
bool check_bore_layers(Document& doc);

// test_gef "GEF-BORE-Report": recognition, then every group whatever the others found.
int test_bore_report(Document& doc);

} // namespace gef
