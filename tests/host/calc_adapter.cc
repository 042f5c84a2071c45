// The Calc adapter driven from outside the office: one headless office per test process, with
// its own user installation, reached over a UNO pipe.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>

#include "adapters.h"
#include "calc/calc_application.h"
#include "calc/calc_workbook.h"
#include "calc/document_events.h"
#include "calc/uno_text.h"

namespace kastel::host::testing {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using Clock = std::chrono::steady_clock;

class Office : public ::testing::Environment {
 public:
  static Office& Get() {
    static Office* office = [] {
      auto* made = new Office;
      ::testing::AddGlobalTestEnvironment(made);  // ends the office after the last test
      return made;
    }();
    return *office;
  }
  Reference<css::frame::XDesktop2> Desktop() const { return css::frame::Desktop::create(context_); }

  void TearDown() override {
    // Nothing of the office's may be released after this: gtest deletes the environment late.
    const Reference<css::frame::XDesktop2> desktop = Desktop();
    context_.clear();
    try {
      desktop->terminate();
    } catch (const css::uno::Exception&) {
      // The office went away with the call.
    }
    for (const auto end = Clock::now() + std::chrono::seconds(30); Clock::now() < end;) {
      if (waitpid(pid_, nullptr, WNOHANG) != 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(-pid_, SIGKILL);
  }

 private:
  Office() {
    const std::string pipe = "kastel-host-test-" + std::to_string(getpid());
    const std::string home = profile_.path().string();
    const std::string profile = "-env:UserInstallation=file://" + home;
    const std::string accept = "--accept=pipe,name=" + pipe + ";urp;";
    pid_ = fork();
    if (pid_ == 0) {
      setsid();
      const int null = open("/dev/null", O_RDWR);
      for (int fd : {0, 1, 2}) dup2(null, fd);
      setenv("HOME", home.c_str(), 1);
      execlp("soffice", "soffice", "--headless", "--invisible", "--norestore", "--nologo",
             profile.c_str(), accept.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    // The local end of the bridge reads the office's type libraries.
    setenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" KASTEL_OFFICE_PROGRAM "/fundamentalrc", 1);
    const auto resolver =
        css::bridge::UnoUrlResolver::create(cppu::defaultBootstrap_InitialComponentContext());
    const rtl::OUString url =
        calc::ToOUString("uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext");
    for (const auto end = Clock::now() + std::chrono::seconds(60); !context_.is();) {
      try {
        context_.set(resolver->resolve(url), UNO_QUERY);
      } catch (const css::connection::NoConnectException&) {
        if (Clock::now() > end || waitpid(pid_, nullptr, WNOHANG) != 0) {
          kill(-pid_, SIGKILL);
          throw std::runtime_error("soffice did not accept connections");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
      }
    }
  }

  kastel::testing::ScratchDir profile_;
  pid_t pid_ = -1;
  Reference<css::uno::XComponentContext> context_;
  friend class CalcAdapter;
};

class CalcAdapter final : public Adapter {
 public:
  CalcAdapter() : app_(Office::Get().context_) {}
  ~CalcAdapter() override {
    // Every document goes, those made from templates too.
    auto documents = Office::Get().Desktop()->getComponents()->createEnumeration();
    while (documents->hasMoreElements()) {
      Reference<css::util::XCloseable> document(documents->nextElement(), UNO_QUERY);
      if (document.is()) document->close(true);
    }
  }
  Application& App() override { return app_; }

  Workbook& Open(const std::string& path) override {
    css::uno::Sequence<css::beans::PropertyValue> hidden(1);
    hidden[0].Name = "Hidden";
    hidden[0].Value <<= true;
    const auto document =
        Office::Get().Desktop()->loadComponentFromURL(calc::PathToUrl(path), "_blank", 0, hidden);
    app_.Activate(document);
    return *app_.WorkbookOf(document);
  }

  // Events are heard only while closing: outside a call of the test's they would arrive on the
  // bridge's threads at any time. The window's Close command, as the user gives it, asks the
  // document first (OnPrepareUnload); the office tells its events after the call returns.
  void Close(Workbook& wb) override {
    std::atomic<bool> unloaded = false;
    const Subscription events = calc::ListenToDocumentEvents(
        Office::Get().context_, [&](const std::string& event, const auto& document) {
          app_.DocumentEvent(event, document);
          unloaded = unloaded || event == "OnUnload";
        });
    const auto frame =
        dynamic_cast<calc::CalcWorkbook&>(wb).model()->getCurrentController()->getFrame();
    css::frame::DispatchHelper::create(Office::Get().context_)
        ->executeDispatch(Reference<css::frame::XDispatchProvider>(frame, UNO_QUERY),
                          ".uno:CloseDoc", "", 0, {});
    for (const auto end = Clock::now() + std::chrono::seconds(10);
         !unloaded && Clock::now() < end;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

 private:
  calc::CalcApplication app_;
};

}  // namespace

std::unique_ptr<Adapter> MakeCalcAdapter() { return std::make_unique<CalcAdapter>(); }

}  // namespace kastel::host::testing
