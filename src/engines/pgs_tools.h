// The PostgreSQL engine: PostgreSQL scripts from definition sheets, and definition sheets from
// one schema of a PostgreSQL catalogue. Its scripts are UTF-8 with LF line ends unless the
// command asks for another form.
#ifndef KASTEL_ENGINES_PGS_TOOLS_H_
#define KASTEL_ENGINES_PGS_TOOLS_H_

#include <string>
#include <string_view>

#include "engines/engine.h"

namespace kastel::engines {

class PgsTools final : public Engine {
 public:
  explicit PgsTools(EngineContext& context) : Engine(context) {}

  BlockBuilder lfTableBlock(host::Workbook& wb, host::Worksheet& ws) override;
  BlockBuilder lfIndexBlock(host::Workbook& wb, host::Worksheet& ws) override;
  BlockBuilder lfCommentBlock(host::Workbook& wb, host::Worksheet& ws) override;

  // The catalogue query over the tables of the schema given at login, in name order (byte
  // order), their columns in position order.
  std::string lfSchemaQuery() const override;
  // The key columns of every index of `table` in `schema`, index by index in the order they
  // were created, each in key order.
  static std::string lfIndexQuery(std::string_view schema, std::string_view table);

  // A type as format_type spells it, written as the type list names it: character varying(n)
  // -> varchar(n), character(n) -> char(n), bit varying(n) -> varbit(n), timestamp(p) with
  // time zone -> timestamptz(p), time without time zone -> time, and so on; others unchanged.
  static std::string lfCatalogType(std::string_view format_type);
  // A default as pg_get_expr gives it, without the cast the server added to a literal:
  // 'abc'::character varying -> 'abc', '-1'::integer -> -1; other expressions unchanged.
  static std::string lfCatalogDefault(std::string_view expression);

 protected:
  TextEncoding lfScriptEncoding() const override { return TextEncoding::kUtf8; }
  bool lfDbOpen(host::Workbook& wb) override;
  CatalogRow lfReadRow(data::Recordset& rs) override;
  bool lfSameTable(std::string_view a, std::string_view b) const override;
  std::string_view lfEmptyHint() const override;
  void lfIndexImport(host::Workbook& wb, host::Worksheet& ws, const std::string& table) override;

 private:
  // The line end of the scripts: LF, or CR LF when the command asks for it.
  std::string_view Eol() { return context().crlf ? "\r\n" : "\n"; }

  std::string schema_ = "public";
};

}  // namespace kastel::engines

#endif  // KASTEL_ENGINES_PGS_TOOLS_H_
