#include "xlsx/part_name.h"

#include <vector>

namespace kastel::xlsx::part_name {
namespace {

std::vector<std::string_view> Split(std::string_view path) {
  std::vector<std::string_view> segments;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string_view::npos) slash = path.size();
    segments.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return segments;
}

}  // namespace

std::string Fold(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

bool SameFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool IsValid(std::string_view name) {
  if (name.empty() || name.front() == '/') return false;
  for (std::string_view segment : Split(name)) {
    if (segment == "." || segment == "..") return false;
  }
  return true;
}

bool IsFolder(std::string_view name) { return !name.empty() && name.back() == '/'; }

std::string_view FolderOf(std::string_view part) {
  std::size_t slash = part.find_last_of('/');
  return slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
}

std::optional<std::string> Resolve(std::string_view source, std::string_view target) {
  std::vector<std::string_view> segments;
  if (!target.empty() && target.front() == '/') {
    target.remove_prefix(1);
  } else {
    std::string_view folder = FolderOf(source);
    if (!folder.empty()) {
      segments = Split(folder);
      segments.pop_back();  // the empty segment after the trailing slash
    }
  }
  for (std::string_view segment : Split(target)) {
    if (segment.empty() || segment == ".") continue;
    if (segment == "..") {
      if (segments.empty()) return std::nullopt;
      segments.pop_back();
    } else {
      segments.push_back(segment);
    }
  }
  if (segments.empty()) return std::nullopt;
  std::string part;
  for (std::string_view segment : segments) {
    if (!part.empty()) part += '/';
    part += segment;
  }
  return part;
}

std::string Relative(std::string_view source, std::string_view target_part) {
  std::vector<std::string_view> from = Split(FolderOf(source));
  from.pop_back();
  std::vector<std::string_view> to = Split(target_part);
  std::size_t common = 0;
  while (common < from.size() && common + 1 < to.size() && from[common] == to[common]) ++common;
  std::string relative;
  for (std::size_t i = common; i < from.size(); ++i) relative += "../";
  for (std::size_t i = common; i < to.size(); ++i) {
    relative += to[i];
    if (i + 1 < to.size()) relative += '/';
  }
  return relative;
}

}  // namespace kastel::xlsx::part_name
