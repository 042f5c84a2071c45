// The Package held as the entries of a zip on disk or in memory plus the changes made since:
// the adapter behind Package::Open. Internal to the xlsx layer.
#ifndef KASTEL_XLSX_ZIP_PACKAGE_H_
#define KASTEL_XLSX_ZIP_PACKAGE_H_

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "xlsx/deflated_text.h"
#include "xlsx/deflater.h"
#include "xlsx/package.h"
#include "xlsx/zip_reader.h"

namespace kastel::xlsx {

class ZipPackage final : public Package {
 public:
  // Reads the directory and [Content_Types].xml; throws kFileFormatError as Package::Open.
  ZipPackage(std::unique_ptr<ZipReader> zip, std::string path, const PackageLimits& limits);

  const std::string& path() const override { return path_; }
  const PackageLimits& limits() const override { return limits_; }
  bool Has(std::string_view part) const override;
  std::vector<std::string> PartNames() const override;
  std::string Read(std::string_view part) override;
  pugi::xml_document& Xml(std::string_view part) override;
  pugi::xml_document& XmlOf(std::string_view part, std::string_view bytes) override;
  bool Parsed(std::string_view part) const override;
  void MarkModified(std::string_view part) override;
  void Release(std::string_view part) override;
  void Pin(std::string_view part) override;
  void Unpin(std::string_view part) override;
  ReadTask ReadLater(std::string_view part) override;
  void Adopt(std::string_view part, std::uint64_t size) override;
  bool Original(std::string_view part) const override;
  void Write(std::string_view part, std::string bytes) override;
  void Remove(std::string_view part) override;
  void Save(const std::string& path) override;

  std::string ContentType(std::string_view part) override;
  void SetOverride(std::string_view part, std::string_view content_type) override;
  void RemoveOverride(std::string_view part) override;

  std::vector<Relationship> Relationships(std::string_view source) override;
  std::optional<Relationship> RelationshipById(std::string_view source,
                                               std::string_view id) override;
  std::string AddRelationship(std::string_view source, std::string_view type,
                              std::string_view target_part) override;
  void RemoveRelationship(std::string_view source, std::string_view id) override;

 private:
  // kDeflated: a changed part released before the save, its text held deflated.
  enum class State { kInZip, kBytes, kDeflated, kRemoved };
  struct Entry {
    std::string name;                        // as in the zip or as first written
    std::optional<std::uint64_t> zip_index;  // where the original bytes are
    State state = State::kInZip;
    bool folder = false;                      // a zip folder entry, not a part
    std::string bytes;                        // when kBytes
    DeflatedText deflated;                    // when kDeflated, once deflating is taken
    std::future<DeflatedText> deflating;      // when kDeflated, while it is being deflated
    std::unique_ptr<pugi::xml_document> dom;  // parsed on first use
    bool modified = false;                    // the DOM is to be written back
    int pins = 0;                             // holders of the DOM's nodes
    std::uint64_t dom_cost = 0;               // DomCost of the text the DOM was parsed from
  };

  void IndexEntries();
  Entry* Find(std::string_view part);
  const Entry* Find(std::string_view part) const;
  Entry& Require(std::string_view part);
  Entry& Touch(std::string_view part);  // finds or appends, for writing
  void CheckUnpinned(std::string_view part) const;
  void DropDom(Entry& entry);
  std::string RawBytes(Entry& entry);
  // The deflated text of a kDeflated entry, waiting for the deflater when it is not done yet.
  const DeflatedText& Deflated(Entry& entry);
  void Parse(Entry& entry, std::string_view bytes);
  void CheckSharedStrings(std::string_view part, std::string_view bytes);
  [[noreturn]] void Fail(std::string_view cause) const;

  // [Content_Types].xml, parsed.
  pugi::xml_node TypesRoot();
  // The Overrides by folded part name ("/xl/worksheets/sheet1.xml"), read once: every parse and
  // every sheet copy asks, and a workbook has an Override per sheet. Kept up to date by
  // SetOverride and RemoveOverride; read again after a Write or Remove of the whole part.
  std::unordered_map<std::string, std::string>& Overrides();
  // Forgets the Overrides read when `part` is [Content_Types].xml.
  void ForgetOverridesOf(std::string_view part);
  // The .rels DOM of a source, created (empty, unsaved until changed) when missing.
  pugi::xml_node RelsRoot(std::string_view source, bool create);

  std::unique_ptr<ZipReader> zip_;
  std::string path_;
  PackageLimits limits_;
  // The file at path_ as last read or written here; a save over it checks it is still that one.
  std::optional<FileIdentity> on_disk_;
  std::uint64_t inflated_total_ = 0;
  std::uint64_t dom_cost_ = 0;  // of every DOM held
  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::size_t> by_folded_name_;
  std::optional<std::unordered_map<std::string, std::string>> overrides_;
  Deflater deflater_;  // last: gone first, before the entries that wait for it
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_ZIP_PACKAGE_H_
