// The state of a modal dialog as its code sees it: the caption, the controls in tab order with
// what each shows, which one has the focus, whether the dialog is shown, and the OK flag that
// its two buttons set. A FormView shows it and turns what the user does into calls of the
// action methods below; the rules of each dialog (what a change enables, what OK hands back)
// live in its subclass.
#ifndef KASTEL_LOGIN_DIALOG_H_
#define KASTEL_LOGIN_DIALOG_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kastel::login {

class FormView;

// OLE colours as the host's forms hold them: the high bit marks a system colour index.
inline constexpr std::uint32_t kColorWindowBackground = 0x80000005;
inline constexpr std::uint32_t kColorButtonFace = 0x8000000F;

enum class ControlKind {
  kLabel,
  kComboBox,      // editable: free text or a choice from the list
  kDropDownList,  // a choice from the list only
  kTextBox,
  kCheckBox,
  kButton,
};

struct Control {
  std::string name;
  ControlKind kind = ControlKind::kLabel;
  std::string caption;             // labels, check boxes and buttons; "&" marks the access key
  std::string text;                // text boxes and combo boxes
  std::vector<std::string> items;  // combo boxes
  int list_index = -1;             // the chosen item, -1 for none
  bool checked = false;
  bool enabled = true;
  bool password = false;    // shows "*" for every character
  bool is_default = false;  // pressed by Enter
  bool is_cancel = false;   // pressed by Esc
  std::uint32_t back_color = kColorWindowBackground;
  int sel_start = 0;  // the selection, in UTF-16 units as the host counts
  int sel_length = 0;
};

// Controls as the form designer creates them.
Control LabelControl(std::string name, std::string caption);
Control TextBoxControl(std::string name, bool password = false);
Control ComboControl(std::string name, ControlKind kind, std::vector<std::string> items);
Control CheckBoxControl(std::string name, std::string caption);
// `is_default`: pressed by Enter, else pressed by Esc.
Control ButtonControl(std::string name, std::string caption, bool is_default);

// Why the dialog is asked to close. A user's request through the frame (close box, system
// menu, Alt+F4) is refused; a close for any other reason is allowed and counts as Cancel.
enum class CloseMode { kUserFrame, kHost };

class Dialog {
 public:
  virtual ~Dialog() = default;

  const std::string& Caption() const { return caption_; }
  const std::string& FontName() const { return font_name_; }
  double FontSize() const { return font_size_; }
  // The controls in tab order.
  const std::vector<Control>& Controls() const { return controls_; }
  // The named control; fails with error 9 for a name the dialog does not have.
  const Control& Get(std::string_view name) const;
  // The name of the control with the focus, "" before any has it.
  const std::string& Focused() const { return focused_; }
  bool Visible() const { return visible_; }

  // What the user does. Each fails with error 5 when the control cannot take that action:
  // a disabled control, or one of another kind.
  //
  // Gives the control the focus; a text box or combo box selects its whole text. A label
  // passes the focus to the next enabled control after it, as its access key does.
  void Focus(std::string_view name);
  // Replaces the text of a text box or editable combo box; the caret ends after it.
  void Type(std::string_view name, std::string_view text);
  // Chooses item `index` of a combo box; fails with error 380 for an index outside the list.
  void Choose(std::string_view name, int index);
  void SetChecked(std::string_view name, bool checked);
  void Click(std::string_view name);
  // Enter and Esc press the default and the cancel button.
  void PressEnter();
  void PressEscape();
  // Returns true when the dialog closed (as Cancel), false when it refused.
  bool QueryClose(CloseMode mode);

 protected:
  Dialog(std::string caption, std::vector<Control> controls);

  Control& Mutable(std::string_view name);
  // Shows the dialog through `view` until a button hides it; the OK flag says which one.
  // A view that returns with the dialog still shown has closed it: that counts as Cancel.
  void ShowThrough(FormView& view);
  bool ok() const { return ok_; }

  // Called after the user or the code changed a control's choice, text or tick.
  virtual void OnChange(std::string_view name) { (void)name; }

 private:
  std::size_t IndexOf(std::string_view name) const;
  Control& Enabled(std::string_view name, std::initializer_list<ControlKind> kinds);
  void Hide(bool ok);

  std::string caption_;
  std::string font_name_ = "MS UI Gothic";
  double font_size_ = 9;
  std::vector<Control> controls_;
  std::string focused_;
  bool visible_ = false;
  bool ok_ = false;
};

// The length of UTF-8 `text` in UTF-16 units.
int Utf16Length(std::string_view text);

}  // namespace kastel::login

#endif  // KASTEL_LOGIN_DIALOG_H_
