// docProps/app.xml lists the sheet names (TitlesOfParts) under headings that count them
// (HeadingPairs). The two must agree or the host drops the part as damaged, so they are
// rewritten together from the current sheet list, or removed together.
#ifndef KASTEL_XLSX_APP_PROPS_H_
#define KASTEL_XLSX_APP_PROPS_H_

#include <string>
#include <vector>

#include "xlsx/package.h"

namespace kastel::xlsx {

// Rewrites the titles of the extended properties part, if the package has one, to list
// `worksheets` under a single heading (the label of the part's first heading is kept).
void RewriteSheetTitles(Package& package, const std::vector<std::string>& worksheets);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_APP_PROPS_H_
