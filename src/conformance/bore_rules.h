// SPDX-License-Identifier: MIT
// The rule set of boring reports: recognition and the five rule groups.
#pragma once

#include <string_view>

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

// Whether a layer's code word follows the NEN5104 description grammar (letter case ignored).
bool valid_description(std::string_view word);

// test_gef "GEF-BORE-Report": recognition, then every group whatever the others found.
int test_bore_report(Document& doc);

} // namespace gef
