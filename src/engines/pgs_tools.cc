#include "engines/pgs_tools.h"

#include <string>
#include <utility>
#include <vector>

#include "engines/pgs_texts.h"
#include "engines/sheet_reader.h"

namespace kastel::engines {

Engine::BlockBuilder PgsTools::lfTableBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  SheetReader sheet(context().defines, ws, context().columns_read);
  std::string title = sheet.TableTitle();
  std::string table = sheet.TableName();
  std::vector<std::string> primary_key;
  for (const IndexRow& x : sheet.Indexes()) {
    if (x.constraint_type == "P") primary_key = pgs::KeyNames(x.key_columns);
  }
  return [table = std::move(table), title = std::move(title),
          columns = sheet.SharedColumns(kTableFields), primary_key = std::move(primary_key),
          eol = std::string(Eol())] {
    return pgs::TableBlock(table, title, *columns, primary_key, eol);
  };
}

Engine::BlockBuilder PgsTools::lfIndexBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  return IndexesBlock(ws, [eol = std::string(Eol())](std::string_view table, std::string_view title,
                                                     const std::vector<IndexRow>& indexes) {
    return pgs::IndexBlock(table, title, indexes, eol);
  });
}

Engine::BlockBuilder PgsTools::lfCommentBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  return ColumnsBlock(ws, kCommentFields,
                      [eol = std::string(Eol())](std::string_view table, std::string_view title,
                                                 const std::vector<ColumnRow>& columns) {
                        return pgs::CommentBlock(table, title, columns, eol);
                      });
}

}  // namespace kastel::engines
