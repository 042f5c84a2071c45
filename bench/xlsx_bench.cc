// Whole-process measurements of the workbook host on a large workbook, one mode per run so that
// each run's peak memory is its own:
//   xlsx_bench floor FILE        inflate every part and parse its XML (libzip + pugixml)
//   xlsx_bench refresh-floor FILE  the floor, then deflate every worksheet part and the
//                                workbook part again at the level a save uses (zlib level 1)
//   xlsx_bench read FILE         open through the host and read every cell of every sheet
//   xlsx_bench save FILE OUT     open, change one cell in every sheet, save as OUT
// Prints one line: mode, seconds, peak resident memory in MiB, and a count that proves work.
#include <sys/resource.h>
#include <zip.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "base/error.h"
#include "host/host.h"
#include "xlsx/application.h"

namespace {

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

bool IsRewritten(const std::string& name) {
  return name == "xl/workbook.xml" ||
         (name.starts_with("xl/worksheets/") && name.ends_with(".xml"));
}

// Deflates `bytes` as a zip entry is deflated (raw deflate), returning the compressed size.
long Deflate(const std::vector<char>& bytes) {
  z_stream stream{};
  deflateInit2(&stream, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::vector<unsigned char> out(deflateBound(&stream, bytes.size()));
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
  const long size = static_cast<long>(stream.total_out);
  deflateEnd(&stream);
  return size;
}

long Floor(const char* path, bool rewrite = false) {
  int error = 0;
  zip_t* zip = zip_open(path, ZIP_RDONLY, &error);
  if (zip == nullptr) throw std::runtime_error("cannot open zip");
  long nodes = 0;
  const zip_int64_t entries = zip_get_num_entries(zip, 0);
  std::vector<char> buffer;
  for (zip_int64_t i = 0; i < entries; ++i) {
    zip_stat_t st;
    zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &st);
    buffer.resize(st.size);
    zip_file_t* file = zip_fopen_index(zip, static_cast<zip_uint64_t>(i), 0);
    zip_fread(file, buffer.data(), st.size);
    zip_fclose(file);
    std::string name = st.name;
    if (name.size() < 4 ||
        (name.substr(name.size() - 4) != ".xml" && name.substr(name.size() - 5) != ".rels")) {
      continue;
    }
    pugi::xml_document doc;
    doc.load_buffer(buffer.data(), buffer.size(),
                    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single);
    nodes += std::distance(doc.begin(), doc.end());
    if (rewrite && IsRewritten(name)) nodes += Deflate(buffer) > 0;
  }
  zip_close(zip);
  return nodes;
}

long Read(const char* path) {
  kastel::xlsx::XlsxApplication app(std::cerr);
  kastel::host::Workbook& wb = app.Open(path);
  long filled = 0;
  for (int s = 1; s <= wb.WorksheetCount(); ++s) {
    kastel::host::Worksheet& ws = wb.Worksheets(s);
    for (int row = 1; row <= 60; ++row) {
      for (int col = 1; col <= 22; ++col) {
        if (!ws.Cell(row, col).is_empty()) ++filled;
      }
    }
  }
  return filled;
}

long Save(const char* path, const char* out) {
  kastel::xlsx::XlsxApplication app(std::cerr);
  kastel::host::Workbook& wb = app.Open(path);
  for (int s = 1; s <= wb.WorksheetCount(); ++s) {
    wb.Worksheets(s).SetCell(2, 2, kastel::Value::Text("changed"));
  }
  app.SaveAs(wb, out);
  return wb.WorksheetCount();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: xlsx_bench floor|refresh-floor|read|save FILE [OUT]\n";
    return 2;
  }
  const std::string mode = argv[1];
  const auto start = std::chrono::steady_clock::now();
  long count = 0;
  try {
    if (mode == "floor") {
      count = Floor(argv[2]);
    } else if (mode == "refresh-floor") {
      count = Floor(argv[2], true);
    } else if (mode == "read") {
      count = Read(argv[2]);
    } else if (mode == "save" && argc > 3) {
      count = Save(argv[2], argv[3]);
    } else {
      std::cerr << "unknown mode\n";
      return 2;
    }
  } catch (const kastel::Error& e) {
    std::cerr << e.description() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%s %.3f s, peak %.1f MiB, count %ld\n", mode.c_str(), seconds, PeakMiB(), count);
  return 0;
}
