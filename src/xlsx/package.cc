// Parts of a package: where their bytes are, which changed, and writing them all back out.
#include <utility>

#include "base/error.h"
#include "xlsx/atomic_file.h"
#include "xlsx/package_messages.h"
#include "xlsx/part_name.h"
#include "xlsx/zip_package.h"
#include "xlsx/zip_writer.h"

namespace kastel::xlsx {
namespace {

constexpr std::string_view kContentTypesPart = "[Content_Types].xml";
constexpr std::string_view kSharedStringsType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";

// Counts <si> and <x:si> start tags without parsing, so that a table of millions of tiny
// strings is refused before its DOM is built.
std::size_t CountStringItems(std::string_view bytes) {
  std::size_t count = 0;
  for (std::size_t at = bytes.find('<'); at != std::string_view::npos;
       at = bytes.find('<', at + 1)) {
    std::size_t end = bytes.find_first_of(" \t\r\n/>", at + 1);
    if (end == std::string_view::npos) break;
    std::string_view name = bytes.substr(at + 1, end - at - 1);
    std::size_t colon = name.find(':');
    if (colon != std::string_view::npos) name.remove_prefix(colon + 1);
    if (name == "si") ++count;
  }
  return count;
}

void CheckNewPartName(std::string_view part) {
  if (!part_name::IsValid(part) || part_name::IsFolder(part)) {
    throw Error::Runtime(RuntimeError::kInvalidCall);
  }
}

}  // namespace

std::unique_ptr<Package> Package::Open(const std::string& path, const PackageLimits& limits) {
  return std::make_unique<ZipPackage>(ZipReader::OpenFile(path), path, limits);
}

std::unique_ptr<Package> Package::OpenBytes(std::string bytes, const std::string& name,
                                            const PackageLimits& limits) {
  return std::make_unique<ZipPackage>(ZipReader::OpenBytes(std::move(bytes), name), name, limits);
}

std::string Package::RelsPartOf(std::string_view source) {
  std::string_view folder = part_name::FolderOf(source);
  std::string rels(folder);
  rels += "_rels/";
  rels += source.substr(folder.size());
  rels += ".rels";
  return rels;
}

ZipPackage::ZipPackage(std::unique_ptr<ZipReader> zip, std::string path,
                       const PackageLimits& limits)
    : zip_(std::move(zip)), path_(std::move(path)), limits_(limits), on_disk_(zip_->identity()) {
  IndexEntries();
  if (!Has(kContentTypesPart)) Fail(messages::NotPackage());
  TypesRoot();
}

void ZipPackage::IndexEntries() {
  std::uint64_t count = zip_->EntryCount();
  if (count > limits_.max_entries) Fail(messages::TooManyEntries(limits_.max_entries));
  entries_.reserve(static_cast<std::size_t>(count));
  for (std::uint64_t i = 0; i < count; ++i) {
    std::string name = zip_->Name(i);
    if (!part_name::IsValid(name)) Fail(messages::BadPartName(name));
    if (!by_folded_name_.emplace(part_name::Fold(name), entries_.size()).second) {
      Fail(messages::DuplicateName(name));
    }
    Entry& entry = entries_.emplace_back();
    entry.folder = part_name::IsFolder(name);
    entry.name = std::move(name);
    entry.zip_index = i;
  }
}

void ZipPackage::Fail(std::string_view cause) const { throw messages::OpenFailure(path_, cause); }

ZipPackage::Entry* ZipPackage::Find(std::string_view part) {
  auto it = by_folded_name_.find(part_name::Fold(part));
  return it == by_folded_name_.end() ? nullptr : &entries_[it->second];
}

const ZipPackage::Entry* ZipPackage::Find(std::string_view part) const {
  auto it = by_folded_name_.find(part_name::Fold(part));
  return it == by_folded_name_.end() ? nullptr : &entries_[it->second];
}

ZipPackage::Entry& ZipPackage::Require(std::string_view part) {
  Entry* entry = Find(part);
  if (entry == nullptr || entry->state == State::kRemoved || entry->folder) {
    Fail(messages::MissingPart(part));
  }
  return *entry;
}

ZipPackage::Entry& ZipPackage::Touch(std::string_view part) {
  CheckNewPartName(part);
  if (Entry* entry = Find(part)) return *entry;
  by_folded_name_.emplace(part_name::Fold(part), entries_.size());
  Entry& entry = entries_.emplace_back();
  entry.name = std::string(part);
  entry.state = State::kRemoved;
  return entry;
}

bool ZipPackage::Has(std::string_view part) const {
  const Entry* entry = Find(part);
  return entry != nullptr && entry->state != State::kRemoved && !entry->folder;
}

std::vector<std::string> ZipPackage::PartNames() const {
  std::vector<std::string> names;
  for (const Entry& entry : entries_) {
    if (entry.state != State::kRemoved && !entry.folder) names.push_back(entry.name);
  }
  return names;
}

std::string ZipPackage::RawBytes(Entry& entry) {
  if (entry.state == State::kBytes) return entry.bytes;
  if (entry.state == State::kDeflated) return Inflate(Deflated(entry));
  return zip_->Inflate(*entry.zip_index, entry.name, limits_, &inflated_total_);
}

const DeflatedText& ZipPackage::Deflated(Entry& entry) {
  if (entry.deflating.valid()) entry.deflated = entry.deflating.get();
  return entry.deflated;
}

std::string ZipPackage::Read(std::string_view part) {
  Entry& entry = Require(part);
  if (entry.dom && entry.modified) return SerializeXml(*entry.dom);
  return RawBytes(entry);
}

Package::ReadTask ZipPackage::ReadLater(std::string_view part) {
  Entry& entry = Require(part);
  if (!Original(part)) return {};
  std::optional<ZipReader::Taken> taken = zip_->Take(*entry.zip_index, entry.name);
  if (!taken) return {};
  const std::uint64_t declared = taken->declared_size;
  // Everything the task needs is its own: the package may change or end while it runs.
  return {[taken = std::move(*taken), path = path_, name = entry.name, limits = limits_,
           total = inflated_total_]() mutable {
            return ZipReader::InflateTaken(taken, path, name, limits, &total);
          },
          declared};
}

void ZipPackage::Adopt(std::string_view part, std::uint64_t size) {
  inflated_total_ += size;
  if (inflated_total_ > limits_.max_total_size) Fail(messages::TooLarge(part));
}

bool ZipPackage::Original(std::string_view part) const {
  const Entry* entry = Find(part);
  return entry != nullptr && entry->state == State::kInZip && entry->zip_index &&
         !(entry->dom && entry->modified);
}

void ZipPackage::CheckSharedStrings(std::string_view part, std::string_view bytes) {
  if (part_name::Fold(part) == part_name::Fold(kContentTypesPart)) return;
  if (ContentType(part) != kSharedStringsType) return;
  if (CountStringItems(bytes) > limits_.max_shared_strings) Fail(messages::TooManyStrings(part));
}

pugi::xml_document& ZipPackage::Xml(std::string_view part) {
  Entry& entry = Require(part);
  if (!entry.dom) Parse(entry, RawBytes(entry));
  return *entry.dom;
}

pugi::xml_document& ZipPackage::XmlOf(std::string_view part, std::string_view bytes) {
  Entry& entry = Require(part);
  if (!entry.dom) Parse(entry, bytes);
  return *entry.dom;
}

void ZipPackage::Parse(Entry& entry, std::string_view bytes) {
  CheckSharedStrings(entry.name, bytes);
  // Parts held parsed at once share one budget, so that several large sheets cannot add up.
  const std::uint64_t cost = DomCost(bytes);
  if (dom_cost_ + cost > limits_.max_dom_cost) Fail(messages::TooLargeToHold(entry.name));
  auto dom = std::make_unique<pugi::xml_document>();
  try {
    ParseXml(bytes, entry.name, *dom);
  } catch (const Error& e) {
    Fail(e.description());
  }
  entry.dom = std::move(dom);
  entry.modified = false;
  entry.dom_cost = cost;
  dom_cost_ += cost;
}

bool ZipPackage::Parsed(std::string_view part) const {
  const Entry* entry = Find(part);
  return entry != nullptr && entry->dom != nullptr;
}

void ZipPackage::MarkModified(std::string_view part) {
  Xml(part);
  Require(part).modified = true;
}

void ZipPackage::Release(std::string_view part) {
  Entry* entry = Find(part);
  if (entry == nullptr || !entry->dom || entry->pins > 0) return;
  if (entry->modified) {
    // A changed part waits for the save deflated, as it will be written.
    entry->deflating = deflater_.Deflate(SerializeXml(*entry->dom));
    entry->bytes.clear();
    entry->state = State::kDeflated;
    entry->modified = false;
  }
  DropDom(*entry);
}

void ZipPackage::DropDom(Entry& entry) {
  entry.dom.reset();
  dom_cost_ -= entry.dom_cost;
  entry.dom_cost = 0;
}

void ZipPackage::Pin(std::string_view part) {
  Xml(part);
  ++Require(part).pins;
}

void ZipPackage::Unpin(std::string_view part) {
  Entry* entry = Find(part);
  if (entry != nullptr && entry->pins > 0) --entry->pins;
}

void ZipPackage::CheckUnpinned(std::string_view part) const {
  const Entry* entry = Find(part);
  if (entry != nullptr && entry->pins > 0) throw Error::Runtime(RuntimeError::kInvalidCall);
}

void ZipPackage::Write(std::string_view part, std::string bytes) {
  CheckUnpinned(part);
  ForgetOverridesOf(part);
  Entry& entry = Touch(part);
  entry.state = State::kBytes;
  entry.bytes = std::move(bytes);
  entry.deflated = {};
  entry.deflating = {};
  DropDom(entry);
  entry.modified = false;
}

void ZipPackage::Remove(std::string_view part) {
  CheckUnpinned(part);
  ForgetOverridesOf(part);
  Entry* entry = Find(part);
  if (entry == nullptr || entry->folder) return;
  entry->state = State::kRemoved;
  entry->bytes.clear();
  entry->deflated = {};
  entry->deflating = {};
  DropDom(*entry);
  entry->modified = false;
}

void ZipPackage::Save(const std::string& path) {
  ZipWriter writer(path);
  for (Entry& entry : entries_) {
    if (entry.state == State::kRemoved) continue;
    if (entry.dom && entry.modified) {
      writer.Add(entry.name, SerializeXml(*entry.dom));
    } else if (entry.state == State::kBytes) {
      writer.Add(entry.name, entry.bytes);
    } else if (entry.state == State::kDeflated) {
      writer.AddDeflated(entry.name, Deflated(entry));
    } else {
      writer.Copy(zip_->archive(), *entry.zip_index, entry.name);
    }
  }
  // The whole zip is built before the target is touched: when `path` is the file this package
  // reads from, its old content stays readable through the open descriptor until the rename.
  // Saved over the file it came from, the package must still be what is on disk: another
  // program's save in the meantime is not silently overwritten.
  if (path != path_) {
    ReplaceFile(path, writer.Finish());
    return;
  }
  on_disk_ = ReplaceFile(path, writer.Finish(), on_disk_);
}

}  // namespace kastel::xlsx
