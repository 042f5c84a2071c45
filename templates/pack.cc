// kastel_pack: packs a folder of package parts into an OOXML package (.xltx, .xlsx).
//
//   kastel_pack OUTPUT SOURCE_DIR [PART...]
//
// With PART arguments exactly those files (paths relative to SOURCE_DIR, "/"-separated) and
// [Content_Types].xml are packed, otherwise every file under SOURCE_DIR. XML parts (.xml, .rels) go
// through ExpandPart first, so a malformed source part fails the build instead of making a package
// the spreadsheet has to repair.
//
// What the spreadsheet is strict about, and what makes builds reproducible:
// - deflate only, and every entry added from a buffer of known size, so libzip never writes
//   ZIP64 records (Excel rejects or repairs small ZIP64 files);
// - [Content_Types].xml first, the other parts in byte order of their names;
// - entry names with "/" and no leading "/", unique without regard to case;
// - one fixed timestamp on every entry, converted in UTC whatever the build machine's zone.
#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/error.h"
#include "part_expander.h"

namespace fs = std::filesystem;
using kastel::Error;

namespace {

constexpr const char* kContentTypes = "[Content_Types].xml";
// 2024-01-01 00:00:00 UTC.
constexpr time_t kEntryTime = 1704067200;

struct Part {
  std::string name;
  std::string data;
};

[[noreturn]] void Fail(const std::string& what) {
  throw Error(kastel::kFileFormatError, "kastel_pack", what);
}

bool IsXmlPart(const std::string& name) {
  return name.ends_with(".xml") || name.ends_with(".rels");
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    Fail(path.string() + ": " + kastel::RuntimeDescription(kastel::RuntimeError::kFileNotFound));
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

void CheckName(const std::string& name, std::set<std::string>& seen) {
  if (name.empty() || name.front() == '/' || name.find('\\') != std::string::npos ||
      name.find("..") != std::string::npos) {
    Fail("パーツ名が不正です: \"" + name + "\"");
  }
  if (!seen.insert(Lower(name)).second) Fail("パーツ名が重複しています: \"" + name + "\"");
}

// Every regular file under `root`, as "/"-separated names relative to it.
std::vector<std::string> ListFolder(const fs::path& root) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file())
      names.push_back(entry.path().lexically_relative(root).generic_string());
  }
  return names;
}

// Content types first, the rest sorted, so the package does not depend on directory order.
std::vector<Part> LoadParts(const fs::path& root, std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  auto first = std::find(names.begin(), names.end(), kContentTypes);
  if (first == names.end()) Fail(std::string(kContentTypes) + " がありません。");
  std::rotate(names.begin(), first, first + 1);

  std::set<std::string> seen;
  std::vector<Part> parts;
  for (const std::string& name : names) {
    CheckName(name, seen);
    std::string data = ReadFile(root / fs::path(name));
    if (IsXmlPart(name)) data = kastel::templates::ExpandPart(data, name);
    parts.push_back({name, std::move(data)});
  }
  return parts;
}

std::string ZipMessage(zip_t* archive) { return zip_strerror(archive); }

void AddPart(zip_t* archive, const Part& part) {
  zip_source_t* source = zip_source_buffer(archive, part.data.data(), part.data.size(), 0);
  if (source == nullptr) Fail(part.name + ": " + ZipMessage(archive));
  zip_int64_t index = zip_file_add(archive, part.name.c_str(), source, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(source);
    Fail(part.name + ": " + ZipMessage(archive));
  }
  auto i = static_cast<zip_uint64_t>(index);
  if (zip_set_file_compression(archive, i, ZIP_CM_DEFLATE, 9) != 0 ||
      zip_file_set_mtime(archive, i, kEntryTime, 0) != 0) {
    Fail(part.name + ": " + ZipMessage(archive));
  }
}

// libzip writes to a temporary file and renames it at zip_close, so a failed run leaves no
// half-written package behind. The buffers in `parts` must live until then.
void WritePackage(const fs::path& output, const std::vector<Part>& parts) {
  if (output.has_parent_path()) fs::create_directories(output.parent_path());
  int error = 0;
  zip_t* archive = zip_open(output.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) {
    zip_error_t ze;
    zip_error_init_with_code(&ze, error);
    std::string message = output.string() + ": " + zip_error_strerror(&ze);
    zip_error_fini(&ze);
    Fail(message);
  }
  try {
    for (const Part& part : parts) AddPart(archive, part);
  } catch (...) {
    zip_discard(archive);
    throw;
  }
  if (zip_close(archive) != 0) {
    std::string message = output.string() + ": " + ZipMessage(archive);
    zip_discard(archive);
    Fail(message);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "使い方: kastel_pack 出力ファイル 元フォルダ [パーツ...]\n";
    return 2;
  }
  // libzip turns the entry time into DOS time in the local zone.
  setenv("TZ", "UTC", 1);
  tzset();
  try {
    fs::path root = argv[2];
    std::vector<std::string> names(argv + 3, argv + argc);
    if (names.empty()) {
      names = ListFolder(root);
    } else if (std::find(names.begin(), names.end(), kContentTypes) == names.end()) {
      names.push_back(kContentTypes);  // always needed; its brackets are awkward on a command line
    }
    WritePackage(argv[1], LoadParts(root, std::move(names)));
  } catch (const Error& e) {
    std::cerr << "kastel_pack: " << e.description() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "kastel_pack: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
