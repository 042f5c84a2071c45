// Help texts laid out for Japanese: columns lined up by display width (a full-width character
// takes two cells of the terminal), descriptions wrapped to the terminal, and usage lines that
// start with the program's name.
#ifndef KASTEL_CLI_HELP_FORMAT_H_
#define KASTEL_CLI_HELP_FORMAT_H_

#include <CLI/CLI.hpp>
#include <cstddef>
#include <string>
#include <string_view>

namespace kastel::cli {

// The cells `text` (UTF-8) takes on a terminal: 2 for East Asian wide and full-width
// characters, 1 for the others.
std::size_t DisplayWidth(std::string_view text);

// "  name" padded to `column` cells, then `text` wrapped at `width` cells with the following
// lines indented to `column`; a name too wide for its column puts the text on the next line.
std::string HelpRow(std::string_view name, std::string_view text, std::size_t column,
                    std::size_t width);

// The terminal's width in cells (COLUMNS, else the terminal of standard output), 100 when
// neither says.
std::size_t TerminalWidth();

class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_option(const CLI::Option* opt, bool is_positional) const override;
  std::string make_subcommand(const CLI::App* sub) const override;
  std::string make_usage(const CLI::App* app, std::string name) const override;
};

}  // namespace kastel::cli

#endif  // KASTEL_CLI_HELP_FORMAT_H_
