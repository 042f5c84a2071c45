#include "xlsx/package_messages.h"

#include <string>

namespace kastel::xlsx::messages {
namespace {

std::string Quoted(std::string_view prefix, std::string_view name, std::string_view suffix) {
  std::string text(prefix);
  text += "「";
  text += name;
  text += "」";
  text += suffix;
  return text;
}

}  // namespace

std::string_view FileName(std::string_view path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

Error OpenFailure(std::string_view path, std::string_view cause) {
  std::string text = Quoted("ファイル", FileName(path), "を開けません: ");
  text += cause;
  return Error::Host(std::move(text), kFileFormatError);
}

Error SaveFailure(std::string_view path, std::string_view reason) {
  std::string text = Quoted("ファイル", FileName(path), "に保存できません: ");
  text += reason;
  return Error::Host(std::move(text), kFileFormatError);
}

std::string NotFound() { return "見つかりません。"; }
std::string Unreadable() { return "読み取りが許可されていません。"; }
std::string NotAFile() { return "ファイルではありません。"; }
std::string DamagedZip() { return "zip 形式として壊れています。"; }
std::string NotPackage() { return "ブック(Office Open XML)ではありません。"; }

std::string TooManyEntries(std::size_t limit) {
  return "部品の数が上限(" + std::to_string(limit) + " 個)を超えています。";
}

std::string DuplicateName(std::string_view name) {
  return Quoted("部品名", name, "が重複しています(大文字と小文字は区別しません)。");
}

std::string BadPartName(std::string_view name) { return Quoted("部品名", name, "は使えません。"); }
std::string MissingPart(std::string_view part) { return Quoted("部品", part, "がありません。"); }
std::string DamagedPart(std::string_view part) { return Quoted("部品", part, "が壊れています。"); }

std::string TooLarge(std::string_view part) {
  return Quoted("部品", part, "の展開後のサイズが上限を超えています(zip 爆弾の疑い)。");
}

std::string TooCompressed(std::string_view part) {
  return Quoted("部品", part, "の圧縮率が異常に高くなっています(zip 爆弾の疑い)。");
}

std::string TooManyStrings(std::string_view part) {
  return Quoted("部品", part, "の共有文字列の数が上限を超えています。");
}

std::string TooLargeToHold(std::string_view part) {
  return Quoted("部品", part, "は大きすぎて読み込めません(展開後の内容がメモリの上限を超えます)。");
}

std::string XmlSyntax(std::string_view part, std::ptrdiff_t offset) {
  return Quoted("部品", part,
                "の XML が壊れています(" + std::to_string(offset + 1) + " バイト目)。");
}

std::string Doctype(std::string_view part) {
  return Quoted("DTD を含む XML は読み込みません(部品", part, ")。");
}

std::string UnknownEncoding(std::string_view part, std::string_view encoding) {
  return Quoted("部品", part, "の文字コード") + Quoted("", encoding, "は読み込めません。");
}

std::string FolderMissing() { return "保存先のフォルダーが見つかりません。"; }
std::string WriteDenied() { return "書き込みが許可されていません。"; }
std::string TargetIsFolder() { return "同じ名前のフォルダーがあります。"; }
std::string TargetNotAFile() { return "同じ名前の、ファイルでないものがあります。"; }
std::string DiskFull() { return "ディスクの空き容量が足りません。"; }
std::string ReadOnly() { return "読み取り専用のファイルです。"; }
std::string ChangedByOther() {
  return "開いた後に別のプログラムによって変更されました。変更は保存していません。";
}

std::string WriteFailed(int error_number) {
  return "書き込みに失敗しました(エラー番号 " + std::to_string(error_number) + ")。";
}

std::string ZipFailed(std::string_view detail) {
  std::string text = "zip を作成できません(";
  text += detail;
  text += ")。";
  return text;
}

}  // namespace kastel::xlsx::messages
