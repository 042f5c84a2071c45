#include "engines/sql_tools.h"

#include <utility>

#include "engines/sheet_reader.h"
#include "engines/sql_texts.h"

namespace kastel::engines {

Engine::BlockBuilder SqlTools::lfTableBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws, context().columns_read);
  std::string title = sheet.TableTitle();
  std::string table = sheet.TableName();
  return [table = std::move(table), title = std::move(title),
          columns = sheet.SharedColumns(kTableFields)] {
    return sql::TableBlock(table, title, *columns);
  };
}

Engine::BlockBuilder SqlTools::lfIndexBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws, context().columns_read);
  std::string title = sheet.TableTitle();
  std::string table = sheet.TableName();
  return [table = std::move(table), title = std::move(title), indexes = sheet.Indexes()] {
    return sql::IndexBlock(table, title, indexes);
  };
}

Engine::BlockBuilder SqlTools::lfCommentBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws, context().columns_read);
  std::string title = sheet.TableTitle();
  std::string table = sheet.TableName();
  return [table = std::move(table), title = std::move(title),
          columns = sheet.SharedColumns(kCommentFields)] {
    return sql::CommentBlock(table, title, *columns);
  };
}

}  // namespace kastel::engines
