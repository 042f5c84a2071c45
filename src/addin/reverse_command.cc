// The schema import button: a fresh engine of the workbook's dialect, released when the command
// ends, which closes its connection.
#include <exception>
#include <memory>

#include "addin/connect.h"
#include "base/error.h"
#include "engines/engine.h"
#include "model/defines.h"
#include "util/shell.h"

namespace kastel::addin {

void Connect::btnReverse_Click(host::CommandBarControl& /*ctrl*/, bool& /*cancel_default*/) {
  try {
    host::Workbook& wb = ActiveWorkbook();
    const std::string dialect = model::Defines::GetDocProperty(wb, "DB");
    std::unique_ptr<engines::Engine> engine = engines::NewEngine(dialect, engine_context_);
    engine->ReverseEngineer(wb);
  } catch (...) {
    defines_.ErrMsgCurrent("btnReverse_Click");
  }
}

}  // namespace kastel::addin
