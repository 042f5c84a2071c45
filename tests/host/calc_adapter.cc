// The Calc adapter driven from outside the office: one headless office per test process, with
// its own user installation, reached over a UNO pipe. The adapter's calls cross the bridge
// one by one, as the extension's would inside the office.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>

#include "adapters.h"
#include "calc/calc_application.h"
#include "calc/calc_workbook.h"
#include "calc/uno_text.h"

namespace kastel::host::testing {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

constexpr auto kStartTimeout = std::chrono::seconds(60);
constexpr auto kStopTimeout = std::chrono::seconds(30);

class Office {
 public:
  static Office& Get() {
    static Office office;
    return office;
  }
  static void StopIfStarted() {
    if (started_) Get().Stop();
  }
  const Reference<css::uno::XComponentContext>& context() const { return context_; }

 private:
  Office() {
    started_ = true;
    const std::string pipe = "kastel-host-test-" + std::to_string(getpid());
    const std::string profile = "-env:UserInstallation=file://" + profile_.path().string();
    const std::string accept = "--accept=pipe,name=" + pipe + ";urp;";
    const std::string home = profile_.path().string();
    pid_ = fork();
    if (pid_ == 0) {
      setsid();
      const int null = open("/dev/null", O_RDWR);
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
      setenv("HOME", home.c_str(), 1);
      execlp("soffice", "soffice", "--headless", "--invisible", "--norestore", "--nologo",
             profile.c_str(), accept.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    // The local side of the bridge needs the office's type libraries.
    setenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" KASTEL_OFFICE_PROGRAM "/fundamentalrc", 1);
    const Reference<css::uno::XComponentContext> local =
        cppu::defaultBootstrap_InitialComponentContext();
    const Reference<css::bridge::XUnoUrlResolver> resolver =
        css::bridge::UnoUrlResolver::create(local);
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (!context_.is()) {
      try {
        context_.set(resolver->resolve(calc::ToOUString("uno:pipe,name=" + pipe +
                                                        ";urp;StarOffice.ComponentContext")),
                     UNO_QUERY_THROW);
      } catch (const css::connection::NoConnectException&) {
        if (std::chrono::steady_clock::now() > deadline || waitpid(pid_, nullptr, WNOHANG) != 0) {
          Kill();
          throw std::runtime_error("soffice did not accept connections");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
      }
    }
  }

  void Stop() {
    try {
      css::frame::Desktop::create(context_)->terminate();
    } catch (const css::uno::Exception&) {
      // The office went away with the call; it is waited for below.
    }
    context_.clear();
    const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
    while (waitpid(pid_, nullptr, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        Kill();
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }

  void Kill() {
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }

  static inline bool started_ = false;
  kastel::testing::ScratchDir profile_;
  pid_t pid_ = -1;
  Reference<css::uno::XComponentContext> context_;
};

// Ends the office after the last test, while the bridge is still up.
class OfficeEnvironment : public ::testing::Environment {
 public:
  void TearDown() override { Office::StopIfStarted(); }
};
[[maybe_unused]] ::testing::Environment* const office_environment =
    ::testing::AddGlobalTestEnvironment(new OfficeEnvironment);

class CalcAdapter final : public Adapter {
 public:
  CalcAdapter() : app_(Office::Get().context()) {}
  ~CalcAdapter() override {
    // Every document goes, those the adapter made from templates too.
    Reference<css::container::XEnumeration> documents =
        css::frame::Desktop::create(Office::Get().context())->getComponents()->createEnumeration();
    while (documents->hasMoreElements()) {
      Reference<css::util::XCloseable> closeable(documents->nextElement(), UNO_QUERY);
      try {
        if (closeable.is()) closeable->close(true);
      } catch (const css::uno::Exception&) {
        // A document that refuses to close is left to the office's end.
      }
    }
  }
  Application& App() override { return app_; }

  Workbook& Open(const std::string& path) override {
    Reference<css::frame::XComponentLoader> loader(
        css::frame::Desktop::create(Office::Get().context()), UNO_QUERY_THROW);
    css::uno::Sequence<css::beans::PropertyValue> args(1);
    args[0].Name = "Hidden";
    args[0].Value <<= true;
    const Reference<css::lang::XComponent> document =
        loader->loadComponentFromURL(calc::PathToUrl(path), "_blank", 0, args);
    app_.Activate(document);
    calc::CalcWorkbook* workbook = app_.WorkbookOf(document);
    if (workbook == nullptr) throw std::runtime_error("not a spreadsheet: " + path);
    return *workbook;
  }

 private:
  calc::CalcApplication app_;
};

}  // namespace

std::unique_ptr<Adapter> MakeCalcAdapter() { return std::make_unique<CalcAdapter>(); }

}  // namespace kastel::host::testing
