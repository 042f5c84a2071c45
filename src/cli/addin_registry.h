// The headless host's add-in registration: a small text file holding, per add-in, the keys and
// values the spreadsheet application keeps in the registry (friendly name, description, load
// behaviour), in the registry's own export format.
#ifndef KASTEL_CLI_ADDIN_REGISTRY_H_
#define KASTEL_CLI_ADDIN_REGISTRY_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kastel::cli {

// Load behaviour 3: loaded at start-up, connected.
inline constexpr int kLoadAtStartup = 3;

struct AddInEntry {
  std::string prog_id;
  std::string friendly_name;
  std::string description;
  int load_behavior = 0;
  bool operator==(const AddInEntry&) const = default;
};

class AddInRegistry {
 public:
  explicit AddInRegistry(std::filesystem::path file) : file_(std::move(file)) {}

  // ${XDG_CONFIG_HOME:-$HOME/.config}/kastel/addins.reg.
  static std::filesystem::path DefaultFile();

  const std::filesystem::path& file() const { return file_; }
  // True once anything was ever registered or unregistered here.
  bool Exists() const;
  // The entries in file order; none when the file does not exist. Throws kastel::Error with a
  // Japanese description when the file cannot be read.
  std::vector<AddInEntry> Load() const;
  // Adds or replaces the entry of entry.prog_id, keeping the others. The file is replaced
  // whole, never left half written. Throws kastel::Error on failure.
  void Register(const AddInEntry& entry);
  // Removes the entry of `prog_id`, keeping the file (so that the removal sticks); false when it
  // was not registered.
  bool Unregister(std::string_view prog_id);

 private:
  void Save(const std::vector<AddInEntry>& entries) const;

  std::filesystem::path file_;
};

// The entry `kastel register` writes.
AddInEntry KastelEntry();

}  // namespace kastel::cli

#endif  // KASTEL_CLI_ADDIN_REGISTRY_H_
