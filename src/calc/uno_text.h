// Conversions between the core's UTF-8 text and the office's UTF-16 strings, paths and file
// URLs, and the office's exceptions as the core's errors.
#ifndef KASTEL_CALC_UNO_TEXT_H_
#define KASTEL_CALC_UNO_TEXT_H_

#include <string>
#include <string_view>

#include <com/sun/star/uno/Exception.hpp>
#include <rtl/ustring.hxx>

#include "base/error.h"

namespace kastel::calc {

rtl::OUString ToOUString(std::string_view utf8);
std::string ToUtf8(const rtl::OUString& text);

// A file URL for a path on this machine, and back; "" when the conversion fails.
rtl::OUString PathToUrl(std::string_view path);
std::string UrlToPath(const rtl::OUString& url);

// An office failure as the host's error 1004 with the office's own message, without the place
// in the office's sources that threw it.
Error OfficeError(const com::sun::star::uno::Exception& e);

// The runtime's error 9 for a name or position that does not exist.
Error NotFound();

}  // namespace kastel::calc

#endif  // KASTEL_CALC_UNO_TEXT_H_
