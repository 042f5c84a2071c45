// Every Japanese text the package layer shows, in one place so that wording stays consistent
// and the tests can compare against the same functions.
#ifndef KASTEL_XLSX_PACKAGE_MESSAGES_H_
#define KASTEL_XLSX_PACKAGE_MESSAGES_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/error.h"

namespace kastel::xlsx::messages {

// "ファイル「name」を開けません: <cause>", number kFileFormatError. Only the file's name is
// shown, not its folder.
Error OpenFailure(std::string_view path, std::string_view cause);
// "ファイル「name」に保存できません: <reason>", number kFileFormatError.
Error SaveFailure(std::string_view path, std::string_view reason);

// Causes of OpenFailure.
std::string NotFound();
std::string Unreadable();
std::string NotAFile();
std::string DamagedZip();
std::string NotPackage();
std::string TooManyEntries(std::size_t limit);
std::string DuplicateName(std::string_view name);
std::string BadPartName(std::string_view name);
std::string MissingPart(std::string_view part);
std::string DamagedPart(std::string_view part);
std::string TooLarge(std::string_view part);
std::string TooCompressed(std::string_view part);
std::string TooManyStrings(std::string_view part);
std::string TooLargeToHold(std::string_view part);
std::string XmlSyntax(std::string_view part, std::ptrdiff_t offset);
std::string Doctype(std::string_view part);
std::string UnknownEncoding(std::string_view part, std::string_view encoding);

// Reasons of SaveFailure.
std::string FolderMissing();
std::string WriteDenied();
std::string TargetIsFolder();
std::string TargetNotAFile();
std::string DiskFull();
std::string ReadOnly();
std::string ChangedByOther();
std::string WriteFailed(int error_number);
std::string ZipFailed(std::string_view detail);

// The last path segment of `path`, which is what the messages show.
std::string_view FileName(std::string_view path);

}  // namespace kastel::xlsx::messages

#endif  // KASTEL_XLSX_PACKAGE_MESSAGES_H_
