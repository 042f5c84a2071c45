#include "engines/pgs_tools.h"

#include <vector>

#include "engines/pgs_texts.h"
#include "engines/sheet_reader.h"

namespace kastel::engines {

std::string PgsTools::lfTableScript(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws);
  const std::string title = sheet.TableTitle();
  const std::string table = sheet.TableName();
  std::vector<std::string> primary_key;
  for (const IndexRow& x : sheet.Indexes()) {
    if (x.constraint_type == "P") primary_key = pgs::KeyNames(x.key_columns);
  }
  return pgs::TableBlock(table, title, sheet.Columns(kTableFields), primary_key, Eol());
}

std::string PgsTools::lfIndexScript(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws);
  const std::string title = sheet.TableTitle();
  const std::string table = sheet.TableName();
  return pgs::IndexBlock(table, title, sheet.Indexes(), Eol());
}

std::string PgsTools::lfCommentScript(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws);
  const std::string title = sheet.TableTitle();
  const std::string table = sheet.TableName();
  return pgs::CommentBlock(table, title, sheet.Columns(kCommentFields), Eol());
}

}  // namespace kastel::engines
