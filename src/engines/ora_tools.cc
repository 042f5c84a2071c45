#include "engines/ora_tools.h"

#include <utility>

#include "engines/ora_texts.h"
#include "engines/sheet_reader.h"

namespace kastel::engines {

Engine::BlockBuilder OraTools::lfTableBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws, context().columns_read);
  std::string title = sheet.TableTitle();
  std::string table = sheet.TableName();
  return [table = std::move(table), title = std::move(title),
          columns = sheet.SharedColumns(kTableFields)] {
    return ora::TableBlock(table, title, *columns);
  };
}

Engine::BlockBuilder OraTools::lfIndexBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws, context().columns_read);
  std::string title = sheet.TableTitle();
  std::string table = sheet.TableName();
  return [table = std::move(table), title = std::move(title), indexes = sheet.Indexes()] {
    return ora::IndexBlock(table, title, indexes);
  };
}

Engine::BlockBuilder OraTools::lfCommentBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws, context().columns_read);
  std::string title = sheet.TableTitle();
  std::string table = sheet.TableName();
  return [table = std::move(table), title = std::move(title),
          columns = sheet.SharedColumns(kCommentFields)] {
    return ora::CommentBlock(table, title, *columns);
  };
}

}  // namespace kastel::engines
