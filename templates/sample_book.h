// Fills a new definition workbook with sample tables, the way a designer would: through the
// host's object model only, so that the sample is what the system itself reads and writes.
#ifndef KASTEL_TEMPLATES_SAMPLE_BOOK_H_
#define KASTEL_TEMPLATES_SAMPLE_BOOK_H_

#include <string_view>
#include <vector>

#include "host/host.h"
#include "sample_tables.h"

namespace kastel::templates {

// Creates a workbook from the template at `template_path`, marks its dialect (`dialect` is the
// "DB" property: "SQL", "ORA" or "PGS") and points DATA_TYPE at that dialect's type list, then
// adds one definition sheet per table, named 1, 2, ... in order, and lists them on the table
// list sheet with a link to each. Positions on the sheets come from the workbook's layout
// properties. Returns the new (unsaved) workbook. Host failures rise as kastel::Error; a
// layout property that does not hold "row,column" with both at least 1 fails with 1005.
host::Workbook& MakeSampleBook(host::Application& app, std::string_view template_path,
                               std::string_view dialect, const std::vector<SampleTable>& tables);

}  // namespace kastel::templates

#endif  // KASTEL_TEMPLATES_SAMPLE_BOOK_H_
