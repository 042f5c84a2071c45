// The Transact-SQL statements of the three script blocks, built from what a definition sheet
// holds. Every object is dropped, when it exists, before it is created, so that a script can run
// again on the same database; every batch ends with "GO". Names, types and defaults go in
// unchanged: no brackets, no schema prefix.
#ifndef KASTEL_ENGINES_SQL_TEXTS_H_
#define KASTEL_ENGINES_SQL_TEXTS_H_

#include <string>
#include <string_view>
#include <vector>

#include "engines/sheet_reader.h"

namespace kastel::engines::sql {

// DROP TABLE guarded by an existence test, then CREATE TABLE with one line per column.
std::string TableBlock(std::string_view table, std::string_view title,
                       const std::vector<ColumnRow>& columns);

// Per index: a guarded drop and an ALTER TABLE ... ADD CONSTRAINT for constraint types "P" and
// "U", a guarded DROP INDEX and CREATE INDEX for anything else; then the key line.
std::string IndexBlock(std::string_view table, std::string_view title,
                       const std::vector<IndexRow>& indexes);

// Titles and comments as extended properties: the table's and each column's "MS_Description",
// each column's "comments"; each dropped when present and added only when not empty.
std::string CommentBlock(std::string_view table, std::string_view title,
                         const std::vector<ColumnRow>& columns);

}  // namespace kastel::engines::sql

#endif  // KASTEL_ENGINES_SQL_TEXTS_H_
