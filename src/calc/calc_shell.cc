#include "calc/calc_shell.h"

#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <system_error>

#include <com/sun/star/awt/MessageBoxButtons.hpp>
#include <com/sun/star/awt/MessageBoxType.hpp>
#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XMessageBox.hpp>
#include <com/sun/star/awt/XMessageBoxFactory.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/ui/dialogs/ExecutableDialogResults.hpp>
#include <com/sun/star/ui/dialogs/FolderPicker.hpp>

#include "base/process_env.h"
#include "calc/uno_text.h"
#include "util/local_desktop.h"

namespace kastel::calc {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;

constexpr int kIconMask = 0x70;
constexpr int kIconCritical = 16;
constexpr int kIconQuestion = 32;

css::awt::MessageBoxType BoxType(int style) {
  switch (style & kIconMask) {
    case kIconCritical:
      return css::awt::MessageBoxType_ERRORBOX;
    case kIconQuestion:
      return css::awt::MessageBoxType_QUERYBOX;
    case kMsgExclamation:
      return css::awt::MessageBoxType_WARNINGBOX;
    case kMsgInformation:
      return css::awt::MessageBoxType_INFOBOX;
    default:
      return css::awt::MessageBoxType_MESSAGEBOX;
  }
}

// The window dialogs belong to: the frame the user works in.
Reference<css::awt::XWindowPeer> ParentWindow(
    const Reference<css::uno::XComponentContext>& context) {
  Reference<css::frame::XFrame> frame = css::frame::Desktop::create(context)->getCurrentFrame();
  if (!frame.is()) return nullptr;
  return Reference<css::awt::XWindowPeer>(frame->getContainerWindow(), UNO_QUERY);
}

}  // namespace

bool OfficeIsHeadless() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string args((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t start = 0;
  while (start < args.size()) {
    std::size_t end = args.find('\0', start);
    if (end == std::string::npos) end = args.size();
    const std::string_view arg(args.data() + start, end - start);
    if (arg == "--headless" || arg == "-headless") return true;
    start = end + 1;
  }
  return false;
}

CalcShell::CalcShell(Reference<css::uno::XComponentContext> context, bool headless,
                     std::ostream& log)
    : context_(std::move(context)), headless_(headless), log_(log) {}

int CalcShell::MessageBox(std::string_view prompt, int style, std::string_view title) {
  Reference<css::awt::XWindowPeer> parent = headless_ ? nullptr : ParentWindow(context_);
  if (!parent.is()) {
    log_ << "KASTEL: " << local_desktop::LineFeeds(prompt) << std::endl;
    return kMsgOk;
  }
  Reference<css::awt::XMessageBoxFactory> factory(css::awt::Toolkit::create(context_), UNO_QUERY);
  Reference<css::awt::XMessageBox> box =
      factory->createMessageBox(parent, BoxType(style), css::awt::MessageBoxButtons::BUTTONS_OK,
                                ToOUString(title), ToOUString(local_desktop::LineFeeds(prompt)));
  box->execute();
  return kMsgOk;
}

std::optional<std::string> CalcShell::BrowseForFolder(std::string_view description,
                                                      std::string_view selected_path) {
  if (headless_) {
    std::optional<std::string> answer = GetEnv("KASTEL_OUTPUT_FOLDER");
    if (!answer || answer->empty()) {
      NoteCancelled();
      return std::nullopt;
    }
    return answer;
  }
  Reference<css::ui::dialogs::XFolderPicker2> picker =
      css::ui::dialogs::FolderPicker::create(context_);
  picker->setDescription(ToOUString(description));
  if (!selected_path.empty()) {
    try {
      picker->setDisplayDirectory(PathToUrl(selected_path));
    } catch (const css::uno::Exception&) {
      // A folder that is gone opens the picker without a selection.
    }
  }
  if (picker->execute() != css::ui::dialogs::ExecutableDialogResults::OK) {
    NoteCancelled();
    return std::nullopt;
  }
  return UrlToPath(picker->getDirectory());
}

std::optional<std::string> CalcShell::GetEnv(std::string_view name) const {
  return ProcessEnv(name);
}

std::string CalcShell::CurrentDirectory() const { return local_desktop::CurrentDirectory(); }

bool CalcShell::FileExists(std::string_view path) const { return local_desktop::FileExists(path); }

std::string CalcShell::ProgramDataFolder() const {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&OfficeIsHeadless), &info) == 0 || info.dli_fname == nullptr) {
    return CurrentDirectory();
  }
  return std::filesystem::path(info.dli_fname).parent_path().string();
}

}  // namespace kastel::calc
