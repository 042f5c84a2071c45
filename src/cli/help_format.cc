#include "cli/help_format.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

namespace kastel::cli {
namespace {

// The code point at `i` and its length in bytes; invalid bytes count as one character.
char32_t Decode(std::string_view text, std::size_t i, std::size_t& length) {
  const auto lead = static_cast<unsigned char>(text[i]);
  length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (lead < 0x80 || i + length > text.size()) {
    length = 1;
    return lead;
  }
  char32_t cp = lead & (0x3F >> (length - 1));
  for (std::size_t k = 1; k < length; ++k) {
    cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  }
  return cp;
}

bool Wide(char32_t cp) {
  return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF && cp != 0x303F) ||
         (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
         (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
         (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x1F300 && cp <= 0x1F64F) ||
         (cp >= 0x20000 && cp <= 0x3FFFD);
}

}  // namespace

std::size_t DisplayWidth(std::string_view text) {
  std::size_t width = 0;
  for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
    width += Wide(Decode(text, i, length)) ? 2 : 1;
  }
  return width;
}

std::string HelpRow(std::string_view name, std::string_view text, std::size_t column,
                    std::size_t width) {
  std::string row = "  " + std::string(name);
  std::size_t at = DisplayWidth(row);
  if (text.empty()) return row + "\n";
  if (at >= column) {
    row += "\n";
    at = 0;
  }
  row.append(column - at, ' ');
  at = column;
  // Wrap at a blank when there is one close enough, else between any two characters (Japanese
  // has no blanks between words).
  const std::size_t room = width > column + 20 ? width : column + 20;
  std::string line;
  std::size_t line_width = 0;
  for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
    const char32_t cp = Decode(text, i, length);
    const std::size_t w = Wide(cp) ? 2 : 1;
    if (cp == '\n' || at + line_width + w > room) {
      std::size_t cut = line.size();
      if (cp != '\n') {
        const std::size_t blank = line.rfind(' ');
        if (blank != std::string::npos && blank > line.size() / 2) cut = blank + 1;
      }
      row += line.substr(0, cut);
      while (!row.empty() && row.back() == ' ') row.pop_back();
      row += "\n" + std::string(column, ' ');
      line.erase(0, cut);
      line.erase(0, line.find_first_not_of(' ') == std::string::npos ? line.size()
                                                                     : line.find_first_not_of(' '));
      line_width = DisplayWidth(line);
      if (cp == '\n') continue;
    }
    if (cp == ' ' && line.empty()) continue;
    line.append(text.substr(i, length));
    line_width += w;
  }
  return row + line + "\n";
}

std::size_t TerminalWidth() {
  if (const char* columns = std::getenv("COLUMNS"); columns != nullptr) {
    const long n = std::strtol(columns, nullptr, 10);
    if (n >= 40 && n <= 1000) return static_cast<std::size_t>(n);
  }
  winsize size{};
  if (::isatty(STDOUT_FILENO) != 0 && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 &&
      size.ws_col >= 40) {
    return size.ws_col;
  }
  return 100;
}

std::string HelpFormatter::make_option(const CLI::Option* opt, bool is_positional) const {
  return HelpRow(make_option_name(opt, is_positional) + make_option_opts(opt),
                 make_option_desc(opt), get_column_width(), TerminalWidth());
}

std::string HelpFormatter::make_subcommand(const CLI::App* sub) const {
  return HelpRow(sub->get_display_name(true), sub->get_description(), get_column_width(),
                 TerminalWidth());
}

std::string HelpFormatter::make_usage(const CLI::App* app, std::string name) const {
  // A command's usage names the program too: "kastel script ...".
  if (const CLI::App* parent = app->get_parent(); parent != nullptr && name == app->get_name()) {
    name = parent->get_name() + " " + name;
  }
  return CLI::Formatter::make_usage(app, name);
}

}  // namespace kastel::cli
