// The SQL Server engine: Transact-SQL scripts from definition sheets, and definition sheets
// from a SQL Server catalogue.
#ifndef KASTEL_ENGINES_SQL_TOOLS_H_
#define KASTEL_ENGINES_SQL_TOOLS_H_

#include <memory>
#include <string>
#include <string_view>

#include "engines/engine.h"

namespace kastel::engines {

class SqlTools final : public Engine {
 public:
  explicit SqlTools(EngineContext& context) : Engine(context) {}

  BlockBuilder lfTableBlock(host::Workbook& wb, host::Worksheet& ws) override;
  BlockBuilder lfIndexBlock(host::Workbook& wb, host::Worksheet& ws) override;
  BlockBuilder lfCommentBlock(host::Workbook& wb, host::Worksheet& ws) override;

  // The batch that collects the catalogue into #temp_tab_info: 86 lines joined by CR LF.
  std::string lfSchemaQuery() const override;

 protected:
  bool lfDbOpen(host::Workbook& wb) override;
  // A text starting with BEGIN (any case) runs as a batch and #temp_tab_info is read after it.
  std::unique_ptr<data::Recordset> lfSelect(std::string sql) override;
  CatalogRow lfReadRow(data::Recordset& rs) override;
  bool lfSameTable(std::string_view a, std::string_view b) const override;
  std::string_view lfEmptyHint() const override;
  void lfIndexImport(host::Workbook& wb, host::Worksheet& ws, const std::string& table) override;
};

}  // namespace kastel::engines

#endif  // KASTEL_ENGINES_SQL_TOOLS_H_
