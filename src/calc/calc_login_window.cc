// The login form as a dialog of the office's toolkit, built from the form's controls in tab
// order: each label with the field after it on one row, check boxes on their own row, the
// buttons at the bottom right, an icon and two thin rules as the form has them.
#include <string>
#include <vector>

#include <com/sun/star/awt/FontDescriptor.hpp>
#include <com/sun/star/awt/PushButtonType.hpp>
#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XActionListener.hpp>
#include <com/sun/star/awt/XButton.hpp>
#include <com/sun/star/awt/XCheckBox.hpp>
#include <com/sun/star/awt/XControl.hpp>
#include <com/sun/star/awt/XControlContainer.hpp>
#include <com/sun/star/awt/XControlModel.hpp>
#include <com/sun/star/awt/XDialog.hpp>
#include <com/sun/star/awt/XItemListener.hpp>
#include <com/sun/star/awt/XListBox.hpp>
#include <com/sun/star/awt/XTextComponent.hpp>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XTopWindowListener.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <cppuhelper/implbase3.hxx>
#include <rtl/ref.hxx>

#include "base/error.h"
#include "calc/calc_login_view.h"
#include "calc/calc_shell.h"
#include "calc/uno_text.h"
#include "login/dialog.h"

namespace kastel::calc {
namespace {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using login::ControlKind;

// Sizes in the toolkit's font-relative units.
constexpr sal_Int32 kWidth = 236;
constexpr sal_Int32 kLabelX = 8;
constexpr sal_Int32 kLabelWidth = 76;
constexpr sal_Int32 kFieldX = 88;
constexpr sal_Int32 kFieldWidth = 140;
constexpr sal_Int32 kRow = 16;
constexpr sal_Int32 kFieldHeight = 12;
constexpr sal_Int32 kFirstRow = 34;
constexpr sal_Int32 kButtonWidth = 54;
constexpr sal_Int32 kButtonHeight = 14;
constexpr sal_Int32 kGreyed = 0xE0E0E0;

// "サーバー名(&S):" as the toolkit marks access keys: "サーバー名(~S):".
rtl::OUString ToolkitCaption(const std::string& caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] == '&') {
      out += '&';
      ++i;
    } else {
      out += caption[i] == '&' ? '~' : caption[i];
    }
  }
  return ToOUString(out);
}

css::uno::Sequence<rtl::OUString> Items(const std::vector<std::string>& items) {
  css::uno::Sequence<rtl::OUString> list(static_cast<sal_Int32>(items.size()));
  for (std::size_t i = 0; i < items.size(); ++i)
    list[static_cast<sal_Int32>(i)] = ToOUString(items[i]);
  return list;
}

class Window final
    : public cppu::WeakImplHelper3<css::awt::XActionListener, css::awt::XItemListener,
                                   css::awt::XTopWindowListener> {
 public:
  Window(const Reference<css::uno::XComponentContext>& context, login::Dialog& form,
         const std::string& icon)
      : form_(form) {
    auto smgr = context->getServiceManager();
    model_.set(smgr->createInstanceWithContext("com.sun.star.awt.UnoControlDialogModel", context),
               UNO_QUERY_THROW);
    Build(icon);
    dialog_.set(smgr->createInstanceWithContext("com.sun.star.awt.UnoControlDialog", context),
                UNO_QUERY_THROW);
    Reference<css::awt::XControl> control(dialog_, UNO_QUERY_THROW);
    control->setModel(Reference<css::awt::XControlModel>(model_, UNO_QUERY_THROW));
    Reference<css::awt::XWindowPeer> parent;
    Reference<css::frame::XFrame> frame = css::frame::Desktop::create(context)->getCurrentFrame();
    if (frame.is()) parent.set(frame->getContainerWindow(), UNO_QUERY);
    control->createPeer(
        Reference<css::awt::XToolkit>(css::awt::Toolkit::create(context), UNO_QUERY_THROW), parent);
    Listen();
    Show();
  }

  // Runs the dialog until the form is hidden. The close box is refused: the dialog opens again.
  // True when OK hid it; Cancel, Esc and a close by the office count as cancelled.
  bool Run() {
    Reference<css::awt::XDialog> dialog(dialog_, UNO_QUERY_THROW);
    while (form_.Visible()) {
      frame_close_ = false;
      dialog->execute();
      if (!form_.Visible()) break;
      if (frame_close_) {
        form_.QueryClose(login::CloseMode::kUserFrame);
      } else {
        // Esc ended the dialog.
        Pull();
        form_.PressEscape();
      }
    }
    Reference<css::lang::XComponent>(dialog_, UNO_QUERY_THROW)->dispose();
    return confirmed_;
  }

  // XActionListener: a button.
  void SAL_CALL actionPerformed(const css::awt::ActionEvent& event) override {
    const std::string name = NameOf(event.Source);
    Pull();
    try {
      form_.Click(name);
    } catch (const Error&) {
      return;  // a disabled button does nothing
    }
    Show();
    if (form_.Visible()) return;
    confirmed_ = !form_.Get(name).is_cancel;
    Reference<css::awt::XDialog>(dialog_, UNO_QUERY_THROW)->endExecute();
  }

  // XItemListener: a choice in a list.
  void SAL_CALL itemStateChanged(const css::awt::ItemEvent& event) override {
    const std::string name = NameOf(event.Source);
    Pull();
    try {
      form_.Choose(name, event.Selected);
    } catch (const Error&) {
    }
    Show();
  }

  // XTopWindowListener: only the close request matters.
  void SAL_CALL windowClosing(const css::lang::EventObject&) override { frame_close_ = true; }
  void SAL_CALL windowOpened(const css::lang::EventObject&) override {}
  void SAL_CALL windowClosed(const css::lang::EventObject&) override {}
  void SAL_CALL windowMinimized(const css::lang::EventObject&) override {}
  void SAL_CALL windowNormalized(const css::lang::EventObject&) override {}
  void SAL_CALL windowActivated(const css::lang::EventObject&) override {}
  void SAL_CALL windowDeactivated(const css::lang::EventObject&) override {}
  void SAL_CALL disposing(const css::lang::EventObject&) override {}

 private:
  Reference<css::beans::XPropertySet> Add(const char* service, const std::string& name, sal_Int32 x,
                                          sal_Int32 y, sal_Int32 w, sal_Int32 h) {
    Reference<css::beans::XPropertySet> model(
        Reference<css::lang::XMultiServiceFactory>(model_, UNO_QUERY_THROW)
            ->createInstance(rtl::OUString::createFromAscii(service)),
        UNO_QUERY_THROW);
    model->setPropertyValue("PositionX", Any(x));
    model->setPropertyValue("PositionY", Any(y));
    model->setPropertyValue("Width", Any(w));
    model->setPropertyValue("Height", Any(h));
    Reference<css::container::XNameContainer>(model_, UNO_QUERY_THROW)
        ->insertByName(ToOUString(name), Any(model));
    return model;
  }

  void Build(const std::string& icon) {
    Reference<css::beans::XPropertySet> dialog(model_, UNO_QUERY_THROW);
    dialog->setPropertyValue("Title", Any(ToOUString(form_.Caption())));
    css::awt::FontDescriptor font;
    font.Name = ToOUString(form_.FontName());
    font.Height = static_cast<sal_Int16>(form_.FontSize());
    dialog->setPropertyValue("FontDescriptor", Any(font));
    auto image = Add("com.sun.star.awt.UnoControlImageControlModel", "imgIcon", 8, 4, 20, 20);
    image->setPropertyValue("ImageURL", Any(PathToUrl(icon)));
    image->setPropertyValue("Border", Any(sal_Int16(0)));
    Add("com.sun.star.awt.UnoControlFixedLineModel", "lineTop", 4, 27, kWidth - 8, 4);

    sal_Int32 y = kFirstRow;
    sal_Int16 tab = 0;
    std::vector<const login::Control*> buttons;
    const std::vector<login::Control>& controls = form_.Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const login::Control& c = controls[i];
      Reference<css::beans::XPropertySet> model;
      switch (c.kind) {
        case ControlKind::kLabel:
          model = Add("com.sun.star.awt.UnoControlFixedTextModel", c.name, kLabelX, y + 2,
                      kLabelWidth, kFieldHeight - 2);
          model->setPropertyValue("Label", Any(ToolkitCaption(c.caption)));
          break;
        case ControlKind::kTextBox:
          model = Add("com.sun.star.awt.UnoControlEditModel", c.name, kFieldX, y, kFieldWidth,
                      kFieldHeight);
          if (c.password) model->setPropertyValue("EchoChar", Any(sal_Int16('*')));
          break;
        case ControlKind::kComboBox:
          model = Add("com.sun.star.awt.UnoControlComboBoxModel", c.name, kFieldX, y, kFieldWidth,
                      kFieldHeight);
          model->setPropertyValue("Dropdown", Any(true));
          model->setPropertyValue("StringItemList", Any(Items(c.items)));
          break;
        case ControlKind::kDropDownList:
          model = Add("com.sun.star.awt.UnoControlListBoxModel", c.name, kFieldX, y, kFieldWidth,
                      kFieldHeight);
          model->setPropertyValue("Dropdown", Any(true));
          model->setPropertyValue("StringItemList", Any(Items(c.items)));
          break;
        case ControlKind::kCheckBox:
          model = Add("com.sun.star.awt.UnoControlCheckBoxModel", c.name, kFieldX, y, kFieldWidth,
                      kFieldHeight);
          model->setPropertyValue("Label", Any(ToolkitCaption(c.caption)));
          y += kRow;
          break;
        case ControlKind::kButton:
          buttons.push_back(&c);
          continue;
      }
      model->setPropertyValue("TabIndex", Any(tab++));
      // A field ends its label's row.
      if (c.kind != ControlKind::kLabel && c.kind != ControlKind::kCheckBox) y += kRow;
    }
    Add("com.sun.star.awt.UnoControlFixedLineModel", "lineBottom", 4, y, kWidth - 8, 4);
    y += 8;
    sal_Int32 x = kWidth - 8 - static_cast<sal_Int32>(buttons.size()) * (kButtonWidth + 4) + 4;
    for (const login::Control* c : buttons) {
      auto model =
          Add("com.sun.star.awt.UnoControlButtonModel", c->name, x, y, kButtonWidth, kButtonHeight);
      model->setPropertyValue("Label", Any(ToolkitCaption(c->caption)));
      model->setPropertyValue("DefaultButton", Any(c->is_default));
      model->setPropertyValue("PushButtonType",
                              Any(sal_Int16(c->is_cancel ? css::awt::PushButtonType_CANCEL
                                                         : css::awt::PushButtonType_STANDARD)));
      model->setPropertyValue("TabIndex", Any(tab++));
      x += kButtonWidth + 4;
    }
    dialog->setPropertyValue("Width", Any(kWidth));
    dialog->setPropertyValue("Height", Any(y + kButtonHeight + 6));
  }

  Reference<css::awt::XControl> ControlNamed(const std::string& name) {
    return Reference<css::awt::XControlContainer>(dialog_, UNO_QUERY_THROW)
        ->getControl(ToOUString(name));
  }

  std::string NameOf(const Reference<css::uno::XInterface>& source) {
    for (const login::Control& c : form_.Controls()) {
      if (Reference<css::uno::XInterface>(ControlNamed(c.name), UNO_QUERY) ==
          Reference<css::uno::XInterface>(source, UNO_QUERY)) {
        return c.name;
      }
    }
    return {};
  }

  void Listen() {
    for (const login::Control& c : form_.Controls()) {
      Reference<css::awt::XControl> control = ControlNamed(c.name);
      if (c.kind == ControlKind::kButton) {
        Reference<css::awt::XButton>(control, UNO_QUERY_THROW)->addActionListener(this);
      } else if (c.kind == ControlKind::kDropDownList) {
        Reference<css::awt::XListBox>(control, UNO_QUERY_THROW)->addItemListener(this);
      }
    }
    Reference<css::awt::XTopWindow> top(dialog_, UNO_QUERY);
    if (top.is()) top->addTopWindowListener(this);
  }

  // The form's state into the controls.
  void Show() {
    for (const login::Control& c : form_.Controls()) {
      Reference<css::beans::XPropertySet> model(ControlNamed(c.name)->getModel(), UNO_QUERY_THROW);
      model->setPropertyValue("Enabled", Any(c.enabled));
      switch (c.kind) {
        case ControlKind::kTextBox:
        case ControlKind::kComboBox:
          model->setPropertyValue("Text", Any(ToOUString(c.text)));
          if (c.kind == ControlKind::kTextBox) {
            model->setPropertyValue("BackgroundColor",
                                    c.back_color == login::kColorButtonFace ? Any(kGreyed) : Any());
          }
          break;
        case ControlKind::kDropDownList: {
          css::uno::Sequence<sal_Int16> selected(c.list_index >= 0 ? 1 : 0);
          if (c.list_index >= 0) selected[0] = static_cast<sal_Int16>(c.list_index);
          model->setPropertyValue("SelectedItems", Any(selected));
          break;
        }
        case ControlKind::kCheckBox:
          model->setPropertyValue("State", Any(sal_Int16(c.checked ? 1 : 0)));
          break;
        default:
          break;
      }
    }
  }

  // What the user typed and ticked into the form, as typing would have put it there.
  void Pull() {
    for (const login::Control& c : form_.Controls()) {
      if (!c.enabled) continue;
      Reference<css::awt::XControl> control = ControlNamed(c.name);
      if (c.kind == ControlKind::kTextBox || c.kind == ControlKind::kComboBox) {
        const std::string text =
            ToUtf8(Reference<css::awt::XTextComponent>(control, UNO_QUERY_THROW)->getText());
        if (text != c.text) form_.Type(c.name, text);
      } else if (c.kind == ControlKind::kCheckBox) {
        const bool checked =
            Reference<css::awt::XCheckBox>(control, UNO_QUERY_THROW)->getState() == 1;
        if (checked != c.checked) form_.SetChecked(c.name, checked);
      }
    }
  }

  login::Dialog& form_;
  Reference<css::container::XNameContainer> model_;
  Reference<css::uno::XInterface> dialog_;
  bool frame_close_ = false;
  bool confirmed_ = false;
};

}  // namespace

bool CalcLoginView::ShowWindow(login::Dialog& dialog) {
  rtl::Reference<Window> window(
      new Window(context_, dialog, shell_.ProgramDataFolder() + "/images/reverse_26.png"));
  return window->Run();
}

}  // namespace kastel::calc
