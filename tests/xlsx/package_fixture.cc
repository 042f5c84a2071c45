#include "package_fixture.h"

#include <zip.h>

namespace kastel::xlsx::testing {
namespace {

constexpr char kContentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
    R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
    R"(</Types>)";

constexpr char kPackageRels[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
    R"(</Relationships>)";

constexpr char kWorkbook[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)";

constexpr char kWorkbookRels[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(</Relationships>)";

constexpr char kSheet[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<sheetData><row r="1"><c r="A1" t="inlineStr"><is><t xml:space="preserve"> </t></is></c></row></sheetData>)"
    R"(</worksheet>)";

}  // namespace

std::string BuildZip(const std::vector<ZipEntry>& entries) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
  EXPECT_NE(archive, nullptr);
  zip_source_keep(target);
  for (const ZipEntry& entry : entries) {
    zip_source_t* source = zip_source_buffer(archive, entry.bytes.data(), entry.bytes.size(), 0);
    zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
    EXPECT_GE(index, 0) << entry.name;
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                             entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
  }
  EXPECT_EQ(zip_close(archive), 0);
  zip_stat_t st;
  zip_source_stat(target, &st);
  zip_source_open(target);
  std::string bytes(st.size, '\0');
  zip_source_read(target, bytes.data(), bytes.size());
  zip_source_close(target);
  zip_source_free(target);
  zip_error_fini(&error);
  return bytes;
}

std::vector<ZipEntry> MinimalWorkbook() {
  return {{"[Content_Types].xml", kContentTypes},
          {"_rels/.rels", kPackageRels},
          {"xl/workbook.xml", kWorkbook},
          {"xl/_rels/workbook.xml.rels", kWorkbookRels},
          {"xl/worksheets/sheet1.xml", kSheet}};
}

std::vector<std::pair<std::string, RawEntry>> RawEntries(const std::string& zip_path) {
  std::vector<std::pair<std::string, RawEntry>> entries;
  int error = 0;
  zip_t* archive = zip_open(zip_path.c_str(), ZIP_RDONLY, &error);
  EXPECT_NE(archive, nullptr) << zip_path;
  if (archive == nullptr) return entries;
  zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
    zip_stat_t st;
    zip_stat_index(archive, i, 0, &st);
    RawEntry raw;
    raw.method = st.comp_method;
    raw.crc = st.crc;
    raw.compressed.resize(st.comp_size);
    zip_file_t* file = zip_fopen_index(archive, i, ZIP_FL_COMPRESSED);
    EXPECT_EQ(zip_fread(file, raw.compressed.data(), st.comp_size),
              static_cast<zip_int64_t>(st.comp_size));
    zip_fclose(file);
    entries.emplace_back(st.name, std::move(raw));
  }
  zip_discard(archive);
  return entries;
}

}  // namespace kastel::xlsx::testing
