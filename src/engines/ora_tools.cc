#include "engines/ora_tools.h"

#include "engines/ora_texts.h"

namespace kastel::engines {

Engine::BlockBuilder OraTools::lfTableBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  return ColumnsBlock(ws, kTableFields, ora::TableBlock);
}

Engine::BlockBuilder OraTools::lfIndexBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  return IndexesBlock(ws, ora::IndexBlock);
}

Engine::BlockBuilder OraTools::lfCommentBlock(host::Workbook& /*wb*/, host::Worksheet& ws) {
  return ColumnsBlock(ws, kCommentFields, ora::CommentBlock);
}

}  // namespace kastel::engines
