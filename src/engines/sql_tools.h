// The SQL Server engine: Transact-SQL scripts from definition sheets.
#ifndef KASTEL_ENGINES_SQL_TOOLS_H_
#define KASTEL_ENGINES_SQL_TOOLS_H_

#include <string>

#include "engines/engine.h"

namespace kastel::engines {

class SqlTools final : public Engine {
 public:
  explicit SqlTools(EngineContext& context) : Engine(context) {}

  std::string lfTableScript(host::Workbook& wb, host::Worksheet& ws) override;
  std::string lfIndexScript(host::Workbook& wb, host::Worksheet& ws) override;
  std::string lfCommentScript(host::Workbook& wb, host::Worksheet& ws) override;
};

}  // namespace kastel::engines

#endif  // KASTEL_ENGINES_SQL_TOOLS_H_
