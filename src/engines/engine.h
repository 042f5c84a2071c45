// What an engine needs from the add-in, and the part of an engine every command sees.
//
// An engine turns the definition sheets of a workbook into scripts (forward engineering) or a
// database catalogue into definition sheets (reverse engineering), for one dialect. SqlTools
// and OraTools are twins: the flow lives here once, each dialect supplies its own statement
// texts. A command creates a fresh engine, calls one public operation and releases it.
#ifndef KASTEL_ENGINES_ENGINE_H_
#define KASTEL_ENGINES_ENGINE_H_

#include <memory>
#include <string>
#include <string_view>

#include "addin/host.h"
#include "util/stream_writer.h"

namespace kastel {
class Shell;
namespace model {
class Defines;
}  // namespace model
}  // namespace kastel

namespace kastel::engines {

// State an engine borrows from the add-in for the time of one command. The add-in owns one
// context for the life of the process, so what is kept here outlives every engine.
struct EngineContext {
  // The layout positions, the error reporter and the value helpers.
  model::Defines& defines;
  // Message boxes, the folder picker, the environment and the current folder.
  Shell& shell;
  // The folder of the last successful script output, always ending with "/"; "" until the
  // first one. Shared by both dialects.
  std::string last_output_folder;
  // The byte form of the script files.
  TextEncoding encoding = TextEncoding::kCp932;
};

class Engine {
 public:
  // `context` must outlive the engine.
  explicit Engine(EngineContext& context) : context_(context) {}
  virtual ~Engine() = default;
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Loads the layout positions of `wb`. Throws kastel::Error (20001 for a position of 0, the
  // runtime's errors for a missing or malformed one).
  void Initialize(host::Workbook& wb);

  // Asks for an output folder and writes table.sql, index.sql and comment.sql there from every
  // definition sheet of `wb`, then shows the closing message. Failures are shown through the
  // error reporter under "ForwardEngineer" and never leave this function; the files are closed
  // first, keeping what was written.
  void ForwardEngineer(host::Workbook& wb);

  // The three blocks of one definition sheet, each ending with CR LF CR LF. `wb` is not read.
  // Failures (a key position outside 1 to 11, a failing host call) rise to the caller.
  virtual std::string lfTableScript(host::Workbook& wb, host::Worksheet& ws) = 0;
  virtual std::string lfIndexScript(host::Workbook& wb, host::Worksheet& ws) = 0;
  virtual std::string lfCommentScript(host::Workbook& wb, host::Worksheet& ws) = 0;

 protected:
  EngineContext& context() { return context_; }

 private:
  EngineContext& context_;
};

// The engine for the dialect named by the document property "DB": "ORA" exactly gives
// OraTools, anything else (empty included) SqlTools.
std::unique_ptr<Engine> NewEngine(std::string_view dialect, EngineContext& context);

}  // namespace kastel::engines

#endif  // KASTEL_ENGINES_ENGINE_H_
