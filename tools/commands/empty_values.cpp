// An empty value is never meant: it is an unset shell variable ("$OUT") or
// a quoting slip. Taken as given it was worse than refused: an empty INPUT
// rendered the built-in chart with exit 0, and an empty --preset or --id
// was as if the option were not there. Every option that takes a value
// refuses an empty one, naming the option; those whose value may be left
// out (--wipe) keep their meaning for it.
#include "tools/commands/commands.h"

namespace zonara_tool {
namespace {

void RefuseEmptyIn(CLI::App &command) {
    for (CLI::Option *option : command.get_options()) {
        if (option->get_type_size() == 0 || option->get_expected_min() == 0) {
            continue;  // a flag, or a value that may be left out
        }
        const bool positional = option->get_lnames().empty() && option->get_snames().empty();
        const std::string refusal =
            std::string("is empty (an unset shell variable?); ") +
            (positional ? "give a path, or none at all for the built-in test chart" : "give a value");
        // First among the option's checks (transform puts it there), so that
        // an empty value is named as one, not as a bad number or choice.
        CLI::Validator not_empty([refusal](std::string &value) { return value.empty() ? refusal : std::string(); }, "",
                                 "NOT_EMPTY");
        not_empty.non_modifying();
        option->transform(not_empty);
    }
    for (CLI::App *subcommand : command.get_subcommands([](CLI::App *) { return true; })) {
        RefuseEmptyIn(*subcommand);
    }
}

}  // namespace

void RefuseEmptyValues(CLI::App &app) { RefuseEmptyIn(app); }

}  // namespace zonara_tool
