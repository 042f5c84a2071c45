#include "package_fixture.h"

#include <sys/wait.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  ASSERT_TRUE(out.good()) << path;
}

int RunCommand(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Capture(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  EXPECT_NE(pipe, nullptr) << command;
  if (pipe == nullptr) return out;
  char buf[4096];
  std::size_t n = 0;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  EXPECT_EQ(pclose(pipe), 0) << command;
  return out;
}

std::string ConvertWithLibreOffice(const std::string& path, const std::string& out_dir) {
  ScratchDir profile;
  RunCommand("soffice -env:UserInstallation=file://" + profile.path() +
             " --headless --convert-to xlsx --outdir '" + out_dir + "' '" + path +
             "' >/dev/null 2>&1");  // exits 0 even when it fails: the output file tells
  const std::string converted =
      out_dir + "/" + std::filesystem::path(path).stem().string() + ".xlsx";
  return std::filesystem::exists(converted) ? converted : "";
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

bool HasZip64(const std::string& zip) {
  auto u16 = [&](std::size_t at) -> std::size_t {
    return static_cast<unsigned char>(zip[at]) | static_cast<unsigned char>(zip[at + 1]) << 8;
  };
  auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
  auto has_zip64_field = [&](std::size_t at, std::size_t size) {
    for (std::size_t field = at; field + 4 <= at + size; field += 4 + u16(field + 2)) {
      if (u16(field) == 0x0001) return true;
    }
    return false;
  };
  std::size_t end = zip.rfind(std::string("PK\x05\x06", 4));
  EXPECT_NE(end, std::string::npos);
  if (end == std::string::npos) return false;
  // A ZIP64 end-of-directory locator sits just before the classic end record.
  if (end >= 20 && u32(end - 20) == 0x07064b50) return true;
  std::size_t count = u16(end + 10);
  std::size_t at = u32(end + 16);
  for (std::size_t i = 0; i < count; ++i) {
    EXPECT_EQ(u32(at), 0x02014b50u);
    std::size_t name = u16(at + 28), extra = u16(at + 30), comment = u16(at + 32);
    if (has_zip64_field(at + 46 + name, extra)) return true;
    std::size_t local = u32(at + 42);
    if (has_zip64_field(local + 30 + u16(local + 26), u16(local + 28))) return true;
    at += 46 + name + extra + comment;
  }
  return false;
}

ScratchDir::ScratchDir() {
  std::string pattern = ::testing::TempDir() + "kastel-package-XXXXXX";
  char* made = mkdtemp(pattern.data());
  EXPECT_NE(made, nullptr);
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> ScratchDir::List() const {
  std::vector<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(path_)) {
    names.push_back(item.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void ExpectError(const std::function<void()>& action, long number, const std::string& description) {
  try {
    action();
    ADD_FAILURE() << "no error; expected: " << description;
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), number);
    EXPECT_EQ(e.description(), description);
  }
}

}  // namespace kastel::xlsx::testing
