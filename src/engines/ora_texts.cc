#include "engines/ora_texts.h"

#include <string>

#include "engines/script_text.h"

namespace kastel::engines::ora {

std::string TableBlock(std::string_view t, std::string_view title,
                       const std::vector<ColumnRow>& columns) {
  Block b(title);
  b.Line("DROP   TABLE ", PadRightB(t, 24), "CASCADE CONSTRAINTS;");
  b.Line("CREATE TABLE ", t, "(");
  for (std::size_t i = 0; i < columns.size(); ++i) b.Line(ColumnLine(columns[i], i == 0));
  b.Line(");");
  return std::move(b).Finish();
}

std::string IndexBlock(std::string_view t, std::string_view title,
                       const std::vector<IndexRow>& indexes) {
  Block b(title);
  for (const IndexRow& x : indexes) {
    const std::string& type = x.constraint_type;
    if (type == "P" || type == "U") {
      b.Line("ALTER TABLE ", t, " DROP CONSTRAINT ", x.name, ";");
      b.Line("ALTER TABLE ", t, " ADD  CONSTRAINT ", x.name);
    } else {
      b.Line("DROP   INDEX ", x.name, ";");
      b.Line("CREATE INDEX ", x.name, " ON ", t);
    }
    const char* lead = type == "P" ? "   PRIMARY KEY(" : type == "U" ? "   UNIQUE(" : "   (";
    b.Line(lead, x.key_columns, ");");
    b.Line("");
  }
  return std::move(b).Finish();
}

std::string CommentBlock(std::string_view t, std::string_view title,
                         const std::vector<ColumnRow>& columns) {
  Block b(title);
  // Names and titles are packed into the comment as typed; only a column comment has its
  // apostrophes doubled.
  b.Line("COMMENT ON TABLE ", PadRightB(t, 24), "IS '", t, "|", title, "';");
  for (const ColumnRow& c : columns) {
    std::string qualified(t);
    qualified += '.';
    qualified += c.name;
    b.Line("COMMENT ON COLUMN ", PadRightB(qualified, 48), "IS '", c.name, "|", c.title, "|",
           QuoteDoubled(c.comment), "';");
  }
  return std::move(b).Finish();
}

}  // namespace kastel::engines::ora
