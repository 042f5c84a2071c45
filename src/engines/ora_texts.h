// The Oracle statements of the three script blocks, built from what a definition sheet holds.
// No existence tests: the drops stand alone. Oracle keeps one comment per table and column, so
// the comment packs name, title and comment into it, separated by "|"; the schema import takes
// it apart again.
#ifndef KASTEL_ENGINES_ORA_TEXTS_H_
#define KASTEL_ENGINES_ORA_TEXTS_H_

#include <string>
#include <string_view>
#include <vector>

#include "engines/sheet_reader.h"

namespace kastel::engines::ora {

// DROP TABLE ... CASCADE CONSTRAINTS, then CREATE TABLE with one line per column.
std::string TableBlock(std::string_view table, std::string_view title,
                       const std::vector<ColumnRow>& columns);

// Per index: a constraint ("P", "U") dropped and added with ALTER TABLE, anything else dropped
// by its name and created; the key line; an empty line.
std::string IndexBlock(std::string_view table, std::string_view title,
                       const std::vector<IndexRow>& indexes);

// COMMENT ON TABLE and COMMENT ON COLUMN for every table and column, empty or not.
std::string CommentBlock(std::string_view table, std::string_view title,
                         const std::vector<ColumnRow>& columns);

}  // namespace kastel::engines::ora

#endif  // KASTEL_ENGINES_ORA_TEXTS_H_
