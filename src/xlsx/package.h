// An OOXML package (the zip of an .xlsx, .xlsm, .xltx or .xltm file) held as a set of parts.
//
// Parts are read lazily and only once asked for. A part is either untouched (its bytes go back
// out of the original zip unchanged, compressed data copied as it is), replaced by new bytes, or
// held as a pugixml DOM that is serialized at save time. Part names are written without a
// leading slash ("xl/workbook.xml") and compared ignoring ASCII case, as OPC requires.
//
// Untrusted input: every limit of PackageLimits is enforced while inflating (declared sizes
// lie); no DTD is accepted; names in the zip are never used as paths on disk. A file that breaks
// a limit or is not a package fails with one kastel::Error (number kFileFormatError) whose
// description is a clear Japanese sentence naming the file.
#ifndef KASTEL_XLSX_PACKAGE_H_
#define KASTEL_XLSX_PACKAGE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

namespace kastel::xlsx {

struct PackageLimits {
  std::size_t max_entries = 10000;              // zip entries
  std::uint64_t max_part_size = 512ull << 20;   // one inflated part
  std::uint64_t max_total_size = 4ull << 30;    // all inflated parts read, together
  double min_compression_ratio = 0.005;         // compressed / inflated, per part
  std::size_t max_shared_strings = 10'000'000;  // <si> elements in sharedStrings.xml
  // Memory the parsed parts held at once may take, as DomCost estimates it: a few megabytes of
  // zip can inflate to markup whose DOM takes twenty times its size.
  std::uint64_t max_dom_cost = 768ull << 20;
};

// One relationship of a part's .rels.
struct Relationship {
  std::string id;           // "rId3"
  std::string type;         // the full type URI
  std::string target;       // as written in the .rels
  std::string target_part;  // resolved against the source part ("xl/worksheets/sheet1.xml");
                            // empty for an external target
  bool external = false;    // TargetMode="External"
};

class Package {
 public:
  // Opens the package at `path`. Reads the zip directory and [Content_Types].xml only.
  // Throws kastel::Error (kFileFormatError) when the file is missing, unreadable, not a zip,
  // damaged, has too many entries, duplicate names (ignoring case) or no [Content_Types].xml.
  static std::unique_ptr<Package> Open(const std::string& path,
                                       const PackageLimits& limits = PackageLimits());
  // Opens a package held in memory, with the checks of Open; `name` stands for the file in
  // messages and is what path() gives. Save writes to a file as usual.
  static std::unique_ptr<Package> OpenBytes(std::string bytes, const std::string& name,
                                            const PackageLimits& limits = PackageLimits());

  virtual ~Package() = default;

  // The path the package was opened from.
  virtual const std::string& path() const = 0;
  virtual const PackageLimits& limits() const = 0;

  // True when the package has the part (ignoring case), not removed.
  virtual bool Has(std::string_view part) const = 0;
  // All parts, in the order of the original zip followed by added ones; [Content_Types].xml
  // included.
  virtual std::vector<std::string> PartNames() const = 0;

  // The part's bytes (inflated, within the limits). Throws kFileFormatError when the part is
  // missing or breaks a limit.
  virtual std::string Read(std::string_view part) = 0;

  // The part as a DOM, parsed on first use (with parse_default | parse_declaration |
  // parse_ws_pcdata_single, and comments and processing instructions kept; a DOCTYPE is
  // refused). The DOM is owned by the package; it is
  // written back at save time only after MarkModified.
  virtual pugi::xml_document& Xml(std::string_view part) = 0;
  // Xml(part), parsed from `bytes` when it is not held parsed: `bytes` must be the part as
  // Read gives it now (read earlier by the caller, while Original(part) still holds), which
  // spares reading it again.
  virtual pugi::xml_document& XmlOf(std::string_view part, std::string_view bytes) = 0;
  // True while the part is held as a DOM (parsed by Xml and not released since).
  virtual bool Parsed(std::string_view part) const = 0;
  // The DOM of Xml(part) is to be serialized at save time (format_raw, declaration kept).
  virtual void MarkModified(std::string_view part) = 0;
  // Frees the DOM of a part, so that a large workbook read or changed sheet by sheet needs the
  // memory of a few sheets. A modified part is kept as its serialized text until the save; the
  // next Xml() parses it again.
  virtual void Release(std::string_view part) = 0;
  // Keeps the DOM of a parsed part alive for a holder of its nodes: Release leaves a pinned part
  // parsed, and Write or Remove of it throws error 5, so that no node held can dangle. Pins are
  // counted; Unpin of a part that is not pinned does nothing.
  virtual void Pin(std::string_view part) = 0;
  virtual void Unpin(std::string_view part) = 0;

  // ---- reading ahead ----
  // ReadLater takes, on the package's thread, what the part's bytes are made from, and gives a
  // task that makes them as Read would. The task touches nothing of the package, so it may run
  // on another thread while the caller goes on. No task when only Read can read the part (it
  // was written or changed, or is not stored deflated).
  struct ReadTask {
    std::function<std::string()> read;  // empty: no task
    std::uint64_t declared_size = 0;    // what the zip says the part holds; it may lie
  };
  virtual ReadTask ReadLater(std::string_view part) = 0;
  // What a task of ReadLater made now counts towards the package's limits; throws as Read
  // would have when the total is exceeded.
  virtual void Adopt(std::string_view part, std::uint64_t size) = 0;
  // True while Read gives the part as the file held it when opened, as a task of ReadLater
  // does: neither written nor changed as a DOM since.
  virtual bool Original(std::string_view part) const = 0;

  // Replaces or adds a part with the given bytes (drops any DOM of it).
  virtual void Write(std::string_view part, std::string bytes) = 0;
  // Removes a part (and its DOM). Content types and relationships are the caller's to fix.
  virtual void Remove(std::string_view part) = 0;

  // Writes the package to `path`: to a new file beside it, renamed over `path` only when
  // complete, so that a failure leaves the old file as it was. Untouched parts keep their
  // compressed bytes; new and modified parts are deflated; no ZIP64 unless needed. Throws
  // kastel::Error with a Japanese description when writing fails.
  virtual void Save(const std::string& path) = 0;

  // ---- [Content_Types].xml ----
  // The content type of a part: its Override, else the Default of its extension, else "".
  virtual std::string ContentType(std::string_view part) = 0;
  // Sets the Override of a part (adding or replacing it).
  virtual void SetOverride(std::string_view part, std::string_view content_type) = 0;
  // Removes the Override of a part, if any.
  virtual void RemoveOverride(std::string_view part) = 0;

  // ---- relationships ----
  // The relationships of `source` ("" for the package's own _rels/.rels), read from its .rels
  // part; empty when it has none. Targets are resolved inside the package; a target that would
  // leave the package is treated as missing (target_part empty).
  virtual std::vector<Relationship> Relationships(std::string_view source) = 0;
  // The relationship `id` of `source`, if it has one; cheaper than Relationships for a source
  // with many (the workbook with one per sheet).
  virtual std::optional<Relationship> RelationshipById(std::string_view source,
                                                       std::string_view id) = 0;
  // Adds a relationship from `source` to the part `target_part` (written relative to the
  // source) with a fresh id, creating the .rels part when needed; returns the id.
  virtual std::string AddRelationship(std::string_view source, std::string_view type,
                                      std::string_view target_part) = 0;
  // Removes the relationship `id` of `source`.
  virtual void RemoveRelationship(std::string_view source, std::string_view id) = 0;
  // The .rels part name of a source part: "xl/_rels/workbook.xml.rels"; "_rels/.rels" for "".
  static std::string RelsPartOf(std::string_view source);
};

// Text of a DOM as it goes into a part: format_raw, the declaration kept.
std::string SerializeXml(const pugi::xml_document& doc);

// Parses XML bytes with the package's flags; throws kFileFormatError naming `part` on a syntax
// error, a DOCTYPE, an encoding it cannot read, or markup whose DOM would cost more than the
// default max_dom_cost. Text in any declared encoding is held as UTF-8, and the declaration
// says so (UTF-16 parts keep theirs and are written back in UTF-16).
void ParseXml(std::string_view bytes, std::string_view part, pugi::xml_document& doc);

// About the memory pugixml takes for the DOM of `bytes`: the text itself plus a node per
// element and per text run and a record per attribute, counted without parsing.
std::uint64_t DomCost(std::string_view bytes);

// Cell and string text escaping of OOXML: characters XML 1.0 forbids become _xHHHH_ and a
// literal _xHHHH_ becomes _x005F_xHHHH_; UnescapeText reverses both.
std::string EscapeText(std::string_view text);
std::string UnescapeText(std::string_view text);

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_PACKAGE_H_
