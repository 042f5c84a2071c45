#include "engines/ora_tools.h"

#include "engines/ora_texts.h"
#include "engines/sheet_reader.h"

namespace kastel::engines {

std::string OraTools::lfTableScript(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws);
  const std::string title = sheet.TableTitle();
  const std::string table = sheet.TableName();
  return ora::TableBlock(table, title, sheet.Columns(kTableFields));
}

std::string OraTools::lfIndexScript(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws);
  const std::string title = sheet.TableTitle();
  const std::string table = sheet.TableName();
  return ora::IndexBlock(table, title, sheet.Indexes());
}

std::string OraTools::lfCommentScript(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws);
  const std::string title = sheet.TableTitle();
  const std::string table = sheet.TableName();
  return ora::CommentBlock(table, title, sheet.Columns(kCommentFields));
}

}  // namespace kastel::engines
