// The command bars of the headless application, held in memory. Bars and controls are shared
// handles: a deleted one still exists as an object and every later use of it fails.
#ifndef KASTEL_XLSX_COMMAND_BARS_H_
#define KASTEL_XLSX_COMMAND_BARS_H_

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"

namespace kastel::xlsx {

class XlsxControl;
class XlsxCommandBars;

class XlsxControls final : public host::CommandBarControls {
 public:
  XlsxControls() = default;
  ~XlsxControls() override;
  XlsxControls(const XlsxControls&) = delete;
  XlsxControls& operator=(const XlsxControls&) = delete;

  int Count() const override;
  std::shared_ptr<host::CommandBarControl> Item(int index) override;
  std::shared_ptr<host::CommandBarControl> Item(std::string_view caption) override;
  std::shared_ptr<host::CommandBarControl> Add(host::ControlType type) override;

  // Every control of the collection, in order.
  const std::vector<std::shared_ptr<XlsxControl>>& all() const { return items_; }
  // Marks every control (and theirs) deleted and empties the collection.
  void DeleteAll();
  void Remove(const XlsxControl* control);
  // Set by the owner when it is deleted: the collection then refuses every use.
  void set_owner_deleted() { owner_deleted_ = true; }

 private:
  void CheckAlive() const;
  std::vector<std::shared_ptr<XlsxControl>> items_;
  bool owner_deleted_ = false;
};

class XlsxControl final : public host::CommandBarControl {
 public:
  XlsxControl(host::ControlType type, XlsxControls* parent);

  host::ControlType Type() const override;
  std::string TypeName() const override;
  std::string Caption() const override;
  void SetCaption(std::string_view caption) override;
  std::string ToolTipText() const override;
  void SetToolTipText(std::string_view text) override;
  int Style() const override;
  void SetStyle(int style) override;
  int FaceId() const override;
  void SetFaceId(int face_id) override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  bool Visible() const override;
  void SetVisible(bool visible) override;
  void Delete() override;
  host::CommandBarControls& Controls() override;
  Subscription OnClick(ClickHandler handler) override;

  bool deleted() const { return deleted_; }
  // The collection that holds the control; null once that is gone.
  void set_parent(XlsxControls* parent) { parent_ = parent; }
  // Marks this control and its own controls deleted, without touching the parent.
  void MarkDeleted();
  // Calls each Click handler once, in the order they subscribed; false when the control is not
  // an enabled, visible, live button.
  bool Click();

 private:
  void CheckAlive() const;

  host::ControlType type_;
  XlsxControls* parent_;
  std::string caption_;
  std::string tooltip_;
  int style_ = 0;
  int face_id_ = 0;
  bool enabled_ = true;
  bool visible_ = true;
  bool deleted_ = false;
  std::unique_ptr<XlsxControls> children_;  // popups only
  std::shared_ptr<std::map<int, ClickHandler>> handlers_;
  int next_handler_ = 0;
};

class XlsxCommandBar final : public host::CommandBar {
 public:
  XlsxCommandBar(std::string name, XlsxCommandBars* owner)
      : name_(std::move(name)), owner_(owner) {}
  std::string Name() const override;
  bool Visible() const override;
  void SetVisible(bool visible) override;
  host::CommandBarControls& Controls() override;
  void Delete() override;

  bool deleted() const { return deleted_; }
  void set_owner(XlsxCommandBars* owner) { owner_ = owner; }

 private:
  void CheckAlive() const;
  std::string name_;
  XlsxCommandBars* owner_;
  bool visible_ = false;
  bool deleted_ = false;
  XlsxControls controls_;
};

class XlsxCommandBars final : public host::CommandBars {
 public:
  XlsxCommandBars() = default;
  ~XlsxCommandBars() override;
  XlsxCommandBars(const XlsxCommandBars&) = delete;
  XlsxCommandBars& operator=(const XlsxCommandBars&) = delete;

  std::shared_ptr<host::CommandBar> Item(std::string_view name) override;
  std::shared_ptr<host::CommandBar> Add(std::string_view name) override;

  // The live bars in the order they were added.
  std::vector<std::shared_ptr<host::CommandBar>> All() const;
  void Remove(const XlsxCommandBar* bar);

 private:
  std::vector<std::shared_ptr<XlsxCommandBar>> bars_;
};

}  // namespace kastel::xlsx

#endif  // KASTEL_XLSX_COMMAND_BARS_H_
