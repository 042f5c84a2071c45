#include "engines/sql_tools.h"

#include "engines/sheet_reader.h"
#include "engines/sql_texts.h"

namespace kastel::engines {

std::string SqlTools::lfTableScript(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws);
  const std::string title = sheet.TableTitle();
  const std::string table = sheet.TableName();
  return sql::TableBlock(table, title, sheet.Columns(kTableFields));
}

std::string SqlTools::lfIndexScript(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws);
  const std::string title = sheet.TableTitle();
  const std::string table = sheet.TableName();
  return sql::IndexBlock(table, title, sheet.Indexes());
}

std::string SqlTools::lfCommentScript(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws);
  const std::string title = sheet.TableTitle();
  const std::string table = sheet.TableName();
  return sql::CommentBlock(table, title, sheet.Columns(kCommentFields));
}

}  // namespace kastel::engines
