// The Oracle engine: Oracle SQL scripts from definition sheets.
#ifndef KASTEL_ENGINES_ORA_TOOLS_H_
#define KASTEL_ENGINES_ORA_TOOLS_H_

#include <string>

#include "engines/engine.h"

namespace kastel::engines {

class OraTools final : public Engine {
 public:
  explicit OraTools(EngineContext& context) : Engine(context) {}

  std::string lfTableScript(host::Workbook& wb, host::Worksheet& ws) override;
  std::string lfIndexScript(host::Workbook& wb, host::Worksheet& ws) override;
  std::string lfCommentScript(host::Workbook& wb, host::Worksheet& ws) override;
};

}  // namespace kastel::engines

#endif  // KASTEL_ENGINES_ORA_TOOLS_H_
