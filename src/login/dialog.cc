#include "login/dialog.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "base/error.h"
#include "login/form_view.h"

namespace kastel::login {
namespace {

bool HasText(ControlKind kind) {
  return kind == ControlKind::kTextBox || kind == ControlKind::kComboBox ||
         kind == ControlKind::kDropDownList;
}

}  // namespace

int Utf16Length(std::string_view text) {
  int units = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) == 0x80) continue;  // continuation byte
    units += c >= 0xF0 ? 2 : 1;        // four-byte sequences need a surrogate pair
  }
  return units;
}

Control LabelControl(std::string name, std::string caption) {
  Control c;
  c.name = std::move(name);
  c.caption = std::move(caption);
  return c;
}

Control TextBoxControl(std::string name, bool password) {
  Control c;
  c.name = std::move(name);
  c.kind = ControlKind::kTextBox;
  c.password = password;
  return c;
}

Control ComboControl(std::string name, ControlKind kind, std::vector<std::string> items) {
  Control c;
  c.name = std::move(name);
  c.kind = kind;
  c.items = std::move(items);
  return c;
}

Control CheckBoxControl(std::string name, std::string caption) {
  Control c = LabelControl(std::move(name), std::move(caption));
  c.kind = ControlKind::kCheckBox;
  return c;
}

Control ButtonControl(std::string name, std::string caption, bool is_default) {
  Control c = LabelControl(std::move(name), std::move(caption));
  c.kind = ControlKind::kButton;
  c.is_default = is_default;
  c.is_cancel = !is_default;
  return c;
}

Dialog::Dialog(std::string caption, std::vector<Control> controls)
    : caption_(std::move(caption)), controls_(std::move(controls)) {}

const Control& Dialog::Get(std::string_view name) const { return controls_[IndexOf(name)]; }

Control& Dialog::Mutable(std::string_view name) { return controls_[IndexOf(name)]; }

std::size_t Dialog::IndexOf(std::string_view name) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].name == name) return i;
  }
  throw Error::Runtime(RuntimeError::kSubscript);
}

Control& Dialog::Enabled(std::string_view name, std::initializer_list<ControlKind> kinds) {
  Control& c = Mutable(name);
  if (!c.enabled || std::find(kinds.begin(), kinds.end(), c.kind) == kinds.end()) {
    throw Error::Runtime(RuntimeError::kInvalidCall);
  }
  return c;
}

void Dialog::Focus(std::string_view name) {
  auto it = controls_.begin() + static_cast<std::ptrdiff_t>(IndexOf(name));
  if (it->kind == ControlKind::kLabel) {
    it = std::find_if(it, controls_.end(),
                      [](const Control& c) { return c.kind != ControlKind::kLabel && c.enabled; });
    if (it == controls_.end()) return;
  }
  if (!it->enabled) throw Error::Runtime(RuntimeError::kInvalidCall);
  focused_ = it->name;
  if (HasText(it->kind)) {
    it->sel_start = 0;
    it->sel_length = Utf16Length(it->text);
  }
}

void Dialog::Type(std::string_view name, std::string_view text) {
  Control& c = Enabled(name, {ControlKind::kTextBox, ControlKind::kComboBox});
  c.text = std::string(text);
  c.sel_start = Utf16Length(c.text);
  c.sel_length = 0;
  if (c.kind == ControlKind::kComboBox) {
    auto it = std::find(c.items.begin(), c.items.end(), c.text);
    c.list_index = it == c.items.end() ? -1 : static_cast<int>(it - c.items.begin());
  }
  OnChange(c.name);
}

void Dialog::Choose(std::string_view name, int index) {
  Control& c = Enabled(name, {ControlKind::kComboBox, ControlKind::kDropDownList});
  if (index < 0 || index >= static_cast<int>(c.items.size())) {
    throw Error(380, "KASTEL", "プロパティの値が不正です。");
  }
  c.list_index = index;
  c.text = c.items[static_cast<std::size_t>(index)];
  OnChange(c.name);
}

void Dialog::SetChecked(std::string_view name, bool checked) {
  Control& c = Enabled(name, {ControlKind::kCheckBox});
  c.checked = checked;
  OnChange(c.name);
}

void Dialog::Click(std::string_view name) {
  Control& c = Enabled(name, {ControlKind::kButton});
  if (c.is_default) {
    Hide(true);
  } else if (c.is_cancel) {
    Hide(false);
  }
}

void Dialog::PressEnter() {
  for (const Control& c : controls_) {
    if (c.kind == ControlKind::kButton && c.is_default && c.enabled) return Click(c.name);
  }
}

void Dialog::PressEscape() {
  for (const Control& c : controls_) {
    if (c.kind == ControlKind::kButton && c.is_cancel && c.enabled) return Click(c.name);
  }
}

bool Dialog::QueryClose(CloseMode mode) {
  if (mode == CloseMode::kUserFrame) return false;
  Hide(false);
  return true;
}

void Dialog::ShowThrough(FormView& view) {
  ok_ = false;
  visible_ = true;
  try {
    view.ShowModal(*this);
  } catch (...) {
    Hide(false);
    throw;
  }
  if (visible_) Hide(false);
}

void Dialog::Hide(bool ok) {
  ok_ = ok;
  visible_ = false;
}

}  // namespace kastel::login
