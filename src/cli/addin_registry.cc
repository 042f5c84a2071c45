#include "cli/addin_registry.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "addin/connect.h"
#include "base/error.h"

namespace kastel::cli {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kKeyPrefix =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\Excel\\Addins\\";

std::string Quote(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string Unquote(std::string_view text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::string(text);
  std::string plain;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '\\' && i + 2 < text.size()) ++i;
    plain += text[i];
  }
  return plain;
}

void SetValue(AddInEntry& entry, const std::string& name, std::string_view data) {
  if (name == "FriendlyName") {
    entry.friendly_name = Unquote(data);
  } else if (name == "Description") {
    entry.description = Unquote(data);
  } else if (name == "LoadBehavior" && data.starts_with("dword:")) {
    entry.load_behavior =
        static_cast<int>(std::strtol(std::string(data.substr(6)).c_str(), nullptr, 16));
  }
}

Error RegistryError(const std::filesystem::path& file, std::string_view what) {
  return Error::Host("アドインの登録ファイル '" + file.string() + "' を" + std::string(what) +
                     "できません。");
}

}  // namespace

std::filesystem::path AddInRegistry::DefaultFile() {
  std::filesystem::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
    config = xdg;
  } else {
    const char* home = std::getenv("HOME");
    config = std::filesystem::path(home != nullptr ? home : "") / ".config";
  }
  return config / "kastel" / "addins.reg";
}

bool AddInRegistry::Exists() const {
  std::error_code ec;
  return std::filesystem::exists(file_, ec);
}

std::vector<AddInEntry> AddInRegistry::Load() const {
  std::vector<AddInEntry> entries;
  if (!Exists()) return entries;
  std::ifstream in(file_);
  if (!in) throw RegistryError(file_, "読み込み");
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with('[') && line.ends_with(']')) {
      const std::string key = line.substr(1, line.size() - 2);
      entries.push_back(AddInEntry{});
      entries.back().prog_id =
          key.starts_with(kKeyPrefix) ? key.substr(kKeyPrefix.size()) : std::string();
      continue;
    }
    const std::size_t eq = line.find("\"=");
    if (entries.empty() || !line.starts_with('"') || eq == std::string::npos) continue;
    SetValue(entries.back(), line.substr(1, eq - 1), std::string_view(line).substr(eq + 2));
  }
  std::erase_if(entries, [](const AddInEntry& e) { return e.prog_id.empty(); });
  return entries;
}

void AddInRegistry::Register(const AddInEntry& entry) {
  std::vector<AddInEntry> entries = Load();
  std::erase_if(entries, [&](const AddInEntry& e) { return e.prog_id == entry.prog_id; });
  entries.push_back(entry);
  Save(entries);
}

bool AddInRegistry::Unregister(std::string_view prog_id) {
  std::vector<AddInEntry> entries = Load();
  const std::size_t removed =
      std::erase_if(entries, [&](const AddInEntry& e) { return e.prog_id == prog_id; });
  Save(entries);
  return removed > 0;
}

void AddInRegistry::Save(const std::vector<AddInEntry>& entries) const {
  std::ostringstream text;
  text << kHeader << "\n";
  for (const AddInEntry& e : entries) {
    char dword[16];
    std::snprintf(dword, sizeof dword, "%08x", static_cast<unsigned>(e.load_behavior));
    text << "\n[" << kKeyPrefix << e.prog_id << "]\n"
         << "\"FriendlyName\"=" << Quote(e.friendly_name) << "\n"
         << "\"Description\"=" << Quote(e.description) << "\n"
         << "\"LoadBehavior\"=dword:" << dword << "\n";
  }
  std::error_code ec;
  std::filesystem::create_directories(file_.parent_path(), ec);
  if (ec) throw RegistryError(file_, "作成");
  std::filesystem::path temp = file_;
  temp += ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text.str();
    out.flush();
    if (!out) {
      std::filesystem::remove(temp, ec);
      throw RegistryError(file_, "書き込み");
    }
  }
  std::filesystem::rename(temp, file_, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    throw RegistryError(file_, "書き込み");
  }
}

AddInEntry KastelEntry() {
  return AddInEntry{std::string(addin::kProgId), "KASTEL", "SQL Server 用テーブル作成支援ツール",
                    kLoadAtStartup};
}

}  // namespace kastel::cli
