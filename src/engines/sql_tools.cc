#include "engines/sql_tools.h"

#include "engines/sql_texts.h"

namespace kastel::engines {

Engine::BlockBuilder SqlTools::lfTableBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  return ColumnsBlock(ws, kTableFields, sql::TableBlock);
}

Engine::BlockBuilder SqlTools::lfIndexBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  return IndexesBlock(ws, sql::IndexBlock);
}

Engine::BlockBuilder SqlTools::lfCommentBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  return ColumnsBlock(ws, kCommentFields, sql::CommentBlock);
}

}  // namespace kastel::engines
