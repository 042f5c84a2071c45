#include "xlsx/command_bars.h"

#include <algorithm>

#include "base/error.h"
#include "xlsx/workbook_xml.h"

namespace kastel::xlsx {
namespace {

[[noreturn]] void ThrowDeleted() {
  throw Error::Host("このコマンド バーまたはコントロールは既に削除されています。");
}

[[noreturn]] void ThrowUnsupported() {
  throw Error::Host("オブジェクトは、このプロパティまたはメソッドをサポートしていません。", 438);
}

}  // namespace

// ---- XlsxControls ----

XlsxControls::~XlsxControls() {
  for (auto& c : items_) c->set_parent(nullptr);
}

void XlsxControls::CheckAlive() const {
  if (owner_deleted_) ThrowDeleted();
}

int XlsxControls::Count() const {
  CheckAlive();
  return static_cast<int>(items_.size());
}

std::shared_ptr<host::CommandBarControl> XlsxControls::Item(int index) {
  CheckAlive();
  if (index < 1 || index > static_cast<int>(items_.size())) {
    throw Error::Runtime(RuntimeError::kSubscript);
  }
  return items_[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<host::CommandBarControl> XlsxControls::Item(std::string_view caption) {
  CheckAlive();
  for (auto& c : items_) {
    if (c->Caption() == caption) return c;
  }
  throw Error::Runtime(RuntimeError::kSubscript);
}

std::shared_ptr<host::CommandBarControl> XlsxControls::Add(host::ControlType type) {
  CheckAlive();
  if (type != host::ControlType::kButton && type != host::ControlType::kPopup) {
    throw Error::Runtime(RuntimeError::kInvalidCall);
  }
  items_.push_back(std::make_shared<XlsxControl>(type, this));
  return items_.back();
}

void XlsxControls::DeleteAll() {
  for (auto& c : items_) {
    c->set_parent(nullptr);
    c->MarkDeleted();
  }
  items_.clear();
}

void XlsxControls::Remove(const XlsxControl* control) {
  auto it =
      std::find_if(items_.begin(), items_.end(), [&](const auto& c) { return c.get() == control; });
  if (it != items_.end()) items_.erase(it);
}

// ---- XlsxControl ----

XlsxControl::XlsxControl(host::ControlType type, XlsxControls* parent)
    : type_(type), parent_(parent), handlers_(std::make_shared<std::map<int, ClickHandler>>()) {
  if (type_ == host::ControlType::kPopup) children_ = std::make_unique<XlsxControls>();
}

void XlsxControl::CheckAlive() const {
  if (deleted_) ThrowDeleted();
}

host::ControlType XlsxControl::Type() const {
  CheckAlive();
  return type_;
}

std::string XlsxControl::TypeName() const {
  CheckAlive();
  return type_ == host::ControlType::kPopup ? "CommandBarPopup" : "CommandBarButton";
}

std::string XlsxControl::Caption() const {
  CheckAlive();
  return caption_;
}

void XlsxControl::SetCaption(std::string_view caption) {
  CheckAlive();
  caption_ = caption;
}

std::string XlsxControl::ToolTipText() const {
  CheckAlive();
  return tooltip_;
}

void XlsxControl::SetToolTipText(std::string_view text) {
  CheckAlive();
  tooltip_ = text;
}

int XlsxControl::Style() const {
  CheckAlive();
  return style_;
}

void XlsxControl::SetStyle(int style) {
  CheckAlive();
  if (type_ == host::ControlType::kPopup) ThrowUnsupported();
  style_ = style;
}

int XlsxControl::FaceId() const {
  CheckAlive();
  return face_id_;
}

void XlsxControl::SetFaceId(int face_id) {
  CheckAlive();
  if (type_ == host::ControlType::kPopup) ThrowUnsupported();
  face_id_ = face_id;
}

bool XlsxControl::Enabled() const {
  CheckAlive();
  return enabled_;
}

void XlsxControl::SetEnabled(bool enabled) {
  CheckAlive();
  enabled_ = enabled;
}

bool XlsxControl::Visible() const {
  CheckAlive();
  return visible_;
}

void XlsxControl::SetVisible(bool visible) {
  CheckAlive();
  visible_ = visible;
}

void XlsxControl::MarkDeleted() {
  deleted_ = true;
  handlers_->clear();
  if (children_) children_->DeleteAll();
  if (children_) children_->set_owner_deleted();
}

void XlsxControl::Delete() {
  CheckAlive();
  XlsxControls* parent = std::exchange(parent_, nullptr);
  MarkDeleted();
  if (parent) parent->Remove(this);  // may destroy *this: nothing may follow
}

host::CommandBarControls& XlsxControl::Controls() {
  CheckAlive();
  if (!children_) ThrowUnsupported();
  return *children_;
}

Subscription XlsxControl::OnClick(ClickHandler handler) {
  CheckAlive();
  if (type_ != host::ControlType::kButton) ThrowUnsupported();
  const int id = next_handler_++;
  (*handlers_)[id] = std::move(handler);
  std::weak_ptr<std::map<int, ClickHandler>> weak = handlers_;
  return Subscription([weak, id] {
    if (auto handlers = weak.lock()) handlers->erase(id);
  });
}

bool XlsxControl::Click() {
  if (deleted_ || type_ != host::ControlType::kButton || !enabled_ || !visible_) return false;
  // Handlers may unsubscribe (or delete this control) while the click is delivered.
  auto handlers = handlers_;
  std::vector<int> ids;
  for (const auto& [id, h] : *handlers) ids.push_back(id);
  bool cancel_default = false;
  for (int id : ids) {
    auto it = handlers->find(id);
    if (it == handlers->end()) continue;
    ClickHandler h = it->second;
    h(*this, cancel_default);
  }
  return true;
}

// ---- XlsxCommandBar ----

void XlsxCommandBar::CheckAlive() const {
  if (deleted_) ThrowDeleted();
}

std::string XlsxCommandBar::Name() const {
  CheckAlive();
  return name_;
}

bool XlsxCommandBar::Visible() const {
  CheckAlive();
  return visible_;
}

void XlsxCommandBar::SetVisible(bool visible) {
  CheckAlive();
  visible_ = visible;
}

host::CommandBarControls& XlsxCommandBar::Controls() {
  CheckAlive();
  return controls_;
}

void XlsxCommandBar::Delete() {
  CheckAlive();
  deleted_ = true;
  controls_.DeleteAll();
  controls_.set_owner_deleted();
  if (XlsxCommandBars* owner = std::exchange(owner_, nullptr)) owner->Remove(this);
}

// ---- XlsxCommandBars ----

XlsxCommandBars::~XlsxCommandBars() {
  for (auto& b : bars_) b->set_owner(nullptr);
}

std::shared_ptr<host::CommandBar> XlsxCommandBars::Item(std::string_view name) {
  for (auto& b : bars_) {
    if (SameName(b->Name(), name)) return b;
  }
  throw Error::Runtime(RuntimeError::kInvalidCall);
}

std::shared_ptr<host::CommandBar> XlsxCommandBars::Add(std::string_view name) {
  if (name.empty()) throw Error::Runtime(RuntimeError::kInvalidCall);
  for (auto& b : bars_) {
    if (SameName(b->Name(), name)) throw Error::Runtime(RuntimeError::kInvalidCall);
  }
  bars_.push_back(std::make_shared<XlsxCommandBar>(std::string(name), this));
  return bars_.back();
}

std::vector<std::shared_ptr<host::CommandBar>> XlsxCommandBars::All() const {
  return {bars_.begin(), bars_.end()};
}

void XlsxCommandBars::Remove(const XlsxCommandBar* bar) {
  auto it = std::find_if(bars_.begin(), bars_.end(), [&](const auto& b) { return b.get() == bar; });
  if (it != bars_.end()) bars_.erase(it);
}

}  // namespace kastel::xlsx
