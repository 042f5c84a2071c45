// Writing the indexes of one table onto its definition sheet: the index block (name and
// constraint type, one index a row) and, in the index matrix, each key column's position.
// Both dialects share it; they differ in where the rows come from and how a column is found.
#ifndef KASTEL_ENGINES_INDEX_IMPORT_H_
#define KASTEL_ENGINES_INDEX_IMPORT_H_

#include <functional>
#include <string>

#include "base/value.h"
#include "engines/data.h"
#include "host/host.h"

namespace kastel::model {
class Defines;
}  // namespace kastel::model

namespace kastel::engines {

// One row of an index source: one key column of one index.
struct IndexKeyRow {
  std::string index_name;
  std::string constraint_type;  // "P", "U" or "I"
  std::string column_name;
  Value position;  // written as the catalogue gives it
};

// How the column of a key row is looked for on the sheet.
struct ColumnSearch {
  host::SearchOrder order = host::SearchOrder::kByRows;
  // Only a cell in the column-name column counts; otherwise any cell found does.
  bool name_column_only = false;
};

// Reads every row of `rs` through `read` and writes it onto `ws` with the loaded layout of
// `defines`: at most as many indexes as both the index block and the index matrix hold (the
// matrix ends before the column-comment column). The indexes left out are named in one failure
// report, which the import goes past. Other failures rise.
void WriteIndexes(model::Defines& defines, host::Worksheet& ws, data::Recordset& rs,
                  const std::function<IndexKeyRow(data::Recordset&)>& read,
                  const ColumnSearch& search);

// The text of a field, null read as "".
std::string FieldText(data::Recordset& rs, std::string_view name);

}  // namespace kastel::engines

#endif  // KASTEL_ENGINES_INDEX_IMPORT_H_
