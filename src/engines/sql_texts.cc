#include "engines/sql_texts.h"

#include <string>

#include "engines/script_text.h"

namespace kastel::engines::sql {

std::string TableBlock(std::string_view t, std::string_view title,
                       const std::vector<ColumnRow>& columns) {
  Block b(title);
  b.Line("IF EXISTS (SELECT 'X' FROM dbo.sysobjects WHERE name = N'", t, "' AND xtype = N'U')");
  b.Line("    DROP TABLE ", t);
  b.Line("GO");
  b.Line("CREATE TABLE ", t, "(");
  for (std::size_t i = 0; i < columns.size(); ++i) b.Line(ColumnLine(columns[i], i == 0));
  b.Line(")");
  b.Line("GO");
  return std::move(b).Finish();
}

std::string IndexBlock(std::string_view t, std::string_view title,
                       const std::vector<IndexRow>& indexes) {
  Block b(title);
  for (const IndexRow& x : indexes) {
    const std::string& type = x.constraint_type;
    b.Line("IF EXISTS(SELECT 'X' FROM sysindexes WHERE name = '", x.name, "')");
    // Only the exact upper-case letters make a constraint; "p" or "u" make a plain index.
    if (type == "P" || type == "U") {
      b.Line("    ALTER TABLE ", t, " DROP CONSTRAINT ", x.name);
      b.Line("GO");
      b.Line("ALTER TABLE ", t, " ADD  CONSTRAINT ", x.name);
    } else {
      b.Line("    DROP INDEX ", t, ".", x.name);
      b.Line("GO");
      b.Line("CREATE INDEX ", x.name, " ON ", t);
    }
    const char* lead = type == "P" ? "   PRIMARY KEY(" : type == "U" ? "   UNIQUE(" : "   (";
    b.Line(lead, x.key_columns, ")");
    b.Line("GO");
  }
  return std::move(b).Finish();
}

namespace {

// The statements of one column property ("MS_Description" or "comments") around the column's
// name and the value, put together once for a table: they differ from column to column only in
// those, and a large workbook has tens of thousands of them. The statements that drop carry two
// spaces after N'table', as the scripts always had.
struct ColumnProperty {
  ColumnProperty(std::string_view property, std::string_view t) {
    const std::string owner = std::string(t) + "', N'column', N'";
    if_exists = std::string("IF EXISTS(SELECT 'X' FROM ::fn_listextendedproperty(N'") +
                std::string(property) + "', N'user', N'dbo', N'table',  N'" + owner;
    drop = std::string("    EXEC sp_dropextendedproperty N'") + std::string(property) +
           "', N'user', N'dbo', N'table',  N'" + owner;
    add = std::string("EXEC sp_addextendedproperty N'") + std::string(property) + "', '";
    added = "', N'user', N'dbo', N'table', N'" + owner;
  }
  std::string if_exists;  // up to the name
  std::string drop;       // up to the name
  std::string add;        // up to the value
  std::string added;      // from the value up to the name
};

// The guarded drop of one column property.
void DropColumnProperty(Block& b, const ColumnProperty& p, std::string_view c) {
  b.Line(p.if_exists, c, "'))");
  b.Line(p.drop, c, "'");
  b.Line("GO");
}

void AddColumnProperty(Block& b, const ColumnProperty& p, std::string_view value,
                       std::string_view c) {
  if (value.empty()) return;
  b.Line(p.add, value, p.added, c, "'");
  b.Line("GO");
}

}  // namespace

std::string CommentBlock(std::string_view table, std::string_view title,
                         const std::vector<ColumnRow>& columns) {
  // Names and titles go into their literals as typed; only a column comment, free text by
  // nature, has its apostrophes doubled. Scripts already written from existing workbooks
  // depend on that form.
  const std::string_view t = table;
  const std::string_view tt = title;
  Block b(title);
  // The four statements of a column take some 600 bytes besides its names: growing the block
  // column by column would copy tens of kilobytes a sheet several times over.
  b.Reserve(columns.size() * (768 + 4 * (t.size() + 2 * tt.size())));
  b.Line(
      "IF EXISTS(SELECT 'X' FROM ::fn_listextendedproperty(N'MS_Description', N'user', "
      "N'dbo', N'table', N'",
      t, "', NULL, default))");
  b.Line("    EXEC sp_dropextendedproperty N'MS_Description', N'user', N'dbo', N'table', N'", t,
         "'");
  b.Line("GO");
  if (!title.empty()) {
    b.Line("EXEC sp_addextendedproperty N'MS_Description', N'", tt,
           "', N'user', N'dbo', N'table', N'", t, "'");
    b.Line("GO");
  }
  const ColumnProperty description("MS_Description", t);
  const ColumnProperty comments("comments", t);
  for (const ColumnRow& c : columns) {
    b.Line("-- ", title, ".", c.title);
    DropColumnProperty(b, description, c.name);
    AddColumnProperty(b, description, c.title, c.name);
    DropColumnProperty(b, comments, c.name);
    AddColumnProperty(b, comments, QuoteDoubled(c.comment), c.name);
  }
  return std::move(b).Finish();
}

}  // namespace kastel::engines::sql
