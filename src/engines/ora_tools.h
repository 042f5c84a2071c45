// The Oracle engine: Oracle SQL scripts from definition sheets, and definition sheets from the
// connected user's Oracle dictionary.
#ifndef KASTEL_ENGINES_ORA_TOOLS_H_
#define KASTEL_ENGINES_ORA_TOOLS_H_

#include <array>
#include <string>
#include <string_view>

#include "engines/engine.h"

namespace kastel::engines {

class OraTools final : public Engine {
 public:
  explicit OraTools(EngineContext& context) : Engine(context) {}

  BlockBuilder lfTableBlock(host::Workbook& wb, host::Worksheet& ws) override;
  BlockBuilder lfIndexBlock(host::Workbook& wb, host::Worksheet& ws) override;
  BlockBuilder lfCommentBlock(host::Workbook& wb, host::Worksheet& ws) override;

  // The dictionary query: 21 lines joined by LF.
  std::string lfSchemaQuery() const override;

  // A comment "name|title|comment" taken apart: {name, title, comment}. Without "|" the name is
  // `name` and the whole comment is the third field; pieces past the third are dropped.
  static std::array<std::string, 3> lfSplitComment(std::string_view name, std::string_view comment);
  // The index query of `table`, its apostrophes doubled where it stands between quotes.
  static std::string lfIndexQuery(std::string_view table);

 protected:
  bool lfDbOpen(host::Workbook& wb) override;
  CatalogRow lfReadRow(data::Recordset& rs) override;
  bool lfSameTable(std::string_view a, std::string_view b) const override;
  std::string_view lfEmptyHint() const override;
  void lfIndexImport(host::Workbook& wb, host::Worksheet& ws, const std::string& table) override;
};

}  // namespace kastel::engines

#endif  // KASTEL_ENGINES_ORA_TOOLS_H_
