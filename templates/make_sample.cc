// kastel_make_sample: builds a sample definition workbook from the template.
//
//   kastel_make_sample TEMPLATE TABLES.tsv DIALECT OUTPUT.xlsx
//
// DIALECT is the workbook's "DB" property (SQL or ORA); TABLES.tsv is described in
// sample_tables.h. The workbook is made through the headless host, as the system's own
// commands make theirs, and saved only when every table went in.
#include <fstream>
#include <iostream>
#include <string>

#include "base/error.h"
#include "sample_book.h"
#include "sample_tables.h"
#include "xlsx/application.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "使い方: kastel_make_sample テンプレート テーブル.tsv DB出力値 出力.xlsx\n";
    return 2;
  }
  const std::string template_path = argv[1], tables_path = argv[2], dialect = argv[3],
                    output = argv[4];
  try {
    std::ifstream in(tables_path, std::ios::binary);
    if (!in) {
      throw kastel::Error(
          static_cast<long>(kastel::RuntimeError::kFileNotFound), "KASTEL",
          tables_path + ": " + kastel::RuntimeDescription(kastel::RuntimeError::kFileNotFound));
    }
    auto tables = kastel::templates::ReadSampleTables(in, tables_path);
    kastel::xlsx::XlsxApplication app(std::cerr);
    kastel::host::Workbook& wb =
        kastel::templates::MakeSampleBook(app, template_path, dialect, tables);
    app.SaveAs(wb, output);
  } catch (const kastel::Error& e) {
    std::cerr << "kastel_make_sample: " << e.description() << "\n";
    return 1;
  }
  return 0;
}
