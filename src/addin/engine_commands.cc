// The button whose work an engine does: a fresh engine of the workbook's dialect for each click,
// released when the command ends.
#include <exception>
#include <memory>

#include "addin/connect.h"
#include "base/error.h"
#include "engines/engine.h"
#include "model/defines.h"
#include "util/shell.h"

namespace kastel::addin {

void Connect::btnScriptOut_Click(host::CommandBarControl& /*ctrl*/, bool& /*cancel_default*/) {
  try {
    host::Workbook& wb = ActiveWorkbook();
    const std::string dialect = model::Defines::GetDocProperty(wb, "DB");
    std::unique_ptr<engines::Engine> engine = engines::NewEngine(dialect, engine_context_);
    engine->ForwardEngineer(wb);
  } catch (...) {
    defines_.ErrMsgCurrent("btnScriptOut_Click");
  }
}

}  // namespace kastel::addin
