// Custom document properties: the document's user-defined properties.
#include <algorithm>
#include <cmath>
#include <optional>

#include <com/sun/star/beans/PropertyAttribute.hpp>
#include <com/sun/star/beans/XPropertyContainer.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/XDocumentProperties.hpp>
#include <com/sun/star/document/XDocumentPropertiesSupplier.hpp>
#include <com/sun/star/util/Date.hpp>
#include <com/sun/star/util/DateTime.hpp>

#include "base/vb.h"
#include "calc/calc_workbook.h"
#include "calc/uno_text.h"

namespace kastel::calc {
namespace {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

Reference<css::beans::XPropertyContainer> UserDefined(const Reference<css::frame::XModel>& model) {
  return Reference<css::document::XDocumentPropertiesSupplier>(model, UNO_QUERY_THROW)
      ->getDocumentProperties()
      ->getUserDefinedProperties();
}

Reference<css::beans::XPropertySet> UserDefinedSet(const Reference<css::frame::XModel>& model) {
  return Reference<css::beans::XPropertySet>(UserDefined(model), UNO_QUERY_THROW);
}

double VbSerial(int year, int month, int day, double day_fraction) {
  // Days from 1899-12-30, by the civil calendar.
  auto days = [](long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 146097 + static_cast<long>(yoe * 365 + yoe / 4 - yoe / 100 + doy);
  };
  return static_cast<double>(days(year, month, day) - days(1899, 12, 30)) + day_fraction;
}

// The office's date and time of a VB date serial, to the second.
css::util::DateTime OfficeDateTime(double serial) {
  const auto seconds = static_cast<long long>(std::llround(serial * 86400.0));
  const long long day_seconds = ((seconds % 86400) + 86400) % 86400;
  // Civil date from days since 1970-01-01; the VB origin is 25569 days before it.
  long z = static_cast<long>((seconds - day_seconds) / 86400) - 25569 + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned day = doy - (153 * mp + 2) / 5 + 1;
  const unsigned month = mp < 10 ? mp + 3 : mp - 9;
  css::util::DateTime t;
  t.Year = static_cast<sal_Int16>(yoe + era * 400 + (month <= 2));
  t.Month = static_cast<sal_uInt16>(month);
  t.Day = static_cast<sal_uInt16>(day);
  t.Hours = static_cast<sal_uInt16>(day_seconds / 3600);
  t.Minutes = static_cast<sal_uInt16>(day_seconds / 60 % 60);
  t.Seconds = static_cast<sal_uInt16>(day_seconds % 60);
  return t;
}

// `value` in the property's own type, or nothing when it does not fit that type.
std::optional<Any> InType(const Any& current, const Value& value) {
  const css::uno::TypeClass type = current.getValueTypeClass();
  switch (value.kind()) {
    case Value::Kind::kText:
      if (type == css::uno::TypeClass_STRING) return Any(ToOUString(value.text()));
      break;
    case Value::Kind::kBoolean:
      if (type == css::uno::TypeClass_BOOLEAN) return Any(value.boolean());
      break;
    case Value::Kind::kNumber: {
      const double n = value.number();
      if (type == css::uno::TypeClass_DOUBLE || type == css::uno::TypeClass_FLOAT) return Any(n);
      // An .xlsx's whole numbers (i4) arrive as long: a whole number in range stays one.
      if ((type == css::uno::TypeClass_LONG || type == css::uno::TypeClass_SHORT) &&
          n == std::floor(n) && n >= -2147483648.0 && n <= 2147483647.0) {
        return Any(static_cast<sal_Int32>(n));
      }
      break;
    }
    case Value::Kind::kDate:
      if (current.getValueType() == cppu::UnoType<css::util::DateTime>::get()) {
        return Any(OfficeDateTime(value.date()));
      }
      break;
    default:
      break;
  }
  return std::nullopt;
}

}  // namespace

CalcDocProperty::CalcDocProperty(Reference<css::frame::XModel> model, std::string name)
    : model_(std::move(model)), name_(std::move(name)) {}

Value CalcDocProperty::GetValue() const {
  const Any value = UserDefinedSet(model_)->getPropertyValue(ToOUString(name_));
  rtl::OUString text;
  double number = 0;
  bool flag = false;
  css::util::DateTime date_time;
  css::util::Date date;
  if (value >>= text) return Value::Text(ToUtf8(text));
  if (value.getValueTypeClass() == css::uno::TypeClass_BOOLEAN && (value >>= flag)) {
    return Value::Boolean(flag);
  }
  if (value >>= number) return Value::Number(number);
  if (value >>= date_time) {
    return Value::Date(VbSerial(
        date_time.Year, date_time.Month, date_time.Day,
        (date_time.Hours * 3600.0 + date_time.Minutes * 60.0 + date_time.Seconds) / 86400.0));
  }
  if (value >>= date) return Value::Date(VbSerial(date.Year, date.Month, date.Day, 0));
  return Value();
}

void CalcDocProperty::SetValue(const Value& value) {
  Reference<css::beans::XPropertySet> set = UserDefinedSet(model_);
  const rtl::OUString name = ToOUString(name_);
  if (const std::optional<Any> typed = InType(set->getPropertyValue(name), value)) {
    set->setPropertyValue(name, *typed);
    return;
  }
  // A value that does not fit the property's type makes it a text property.
  Reference<css::beans::XPropertyContainer> container = UserDefined(model_);
  container->removeProperty(name);
  container->addProperty(name, css::beans::PropertyAttribute::REMOVABLE,
                         Any(ToOUString(vb::Concat(value))));
}

CalcDocProperties::CalcDocProperties(Reference<css::frame::XModel> model)
    : model_(std::move(model)) {}

std::vector<std::string> CalcDocProperties::PropertyNames() const {
  std::vector<std::string> names;
  for (const css::beans::Property& p :
       UserDefinedSet(model_)->getPropertySetInfo()->getProperties()) {
    // The office files the application version of an .xlsx it opened among the user's own
    // properties; the workbook's custom properties do not hold it.
    if (p.Name == "AppVersion") continue;
    names.push_back(ToUtf8(p.Name));
  }
  return names;
}

host::DocumentProperty& CalcDocProperties::Held(const std::string& name) {
  auto it = held_.find(name);
  if (it == held_.end()) {
    it = held_.emplace(name, std::make_unique<CalcDocProperty>(model_, name)).first;
  }
  return *it->second;
}

int CalcDocProperties::Count() const { return static_cast<int>(PropertyNames().size()); }

host::DocumentProperty& CalcDocProperties::Item(int index) {
  const std::vector<std::string> names = PropertyNames();
  if (index < 1 || index > static_cast<int>(names.size())) throw NotFound();
  return Held(names[static_cast<std::size_t>(index - 1)]);
}

host::DocumentProperty& CalcDocProperties::Item(std::string_view name) {
  const std::vector<std::string> names = PropertyNames();
  if (std::find(names.begin(), names.end(), name) == names.end()) throw NotFound();
  return Held(std::string(name));
}

host::DocumentProperty& CalcDocProperties::AddText(std::string_view name, std::string_view value) {
  if (name.empty() || name.size() > 255) throw Error::Runtime(RuntimeError::kInvalidCall);
  const std::vector<std::string> names = PropertyNames();
  if (std::find(names.begin(), names.end(), name) != names.end()) {
    throw Error::Host("ドキュメント プロパティ'" + std::string(name) + "'は既に存在します。");
  }
  try {
    UserDefined(model_)->addProperty(ToOUString(name), css::beans::PropertyAttribute::REMOVABLE,
                                     Any(ToOUString(value)));
  } catch (const css::uno::Exception& e) {
    throw OfficeError(e);
  }
  return Held(std::string(name));
}

}  // namespace kastel::calc
