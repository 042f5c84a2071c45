#include "calc/uno_text.h"

#include <osl/file.hxx>
#include <regex>
#include <rtl/string.hxx>

namespace kastel::calc {

rtl::OUString ToOUString(std::string_view utf8) {
  return rtl::OStringToOUString(rtl::OString(utf8.data(), static_cast<sal_Int32>(utf8.size())),
                                RTL_TEXTENCODING_UTF8);
}

std::string ToUtf8(const rtl::OUString& text) {
  const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
  return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

rtl::OUString PathToUrl(std::string_view path) {
  rtl::OUString url;
  if (osl::FileBase::getFileURLFromSystemPath(ToOUString(path), url) != osl::FileBase::E_None) {
    return rtl::OUString();
  }
  return url;
}

std::string UrlToPath(const rtl::OUString& url) {
  rtl::OUString path;
  if (osl::FileBase::getSystemPathFromFileURL(url, path) != osl::FileBase::E_None) return {};
  return ToUtf8(path);
}

Error OfficeError(const com::sun::star::uno::Exception& e) {
  // The office's exceptions end with the place in its sources that threw them, and in a release
  // build many carry nothing else ("at ./sc/source/ui/unoobj/docuno.cxx:3724"): no reason a
  // user could act on, so it goes.
  static const std::regex kSourcePlace(R"((^|\s+)at \S+:\d+$)");
  std::string message = std::regex_replace(ToUtf8(e.Message), kSourcePlace, "");
  if (message.empty()) message = "アプリケーション定義またはオブジェクト定義のエラーです。";
  return Error::Host(message);
}

Error NotFound() { return Error::Runtime(RuntimeError::kSubscript); }

}  // namespace kastel::calc
