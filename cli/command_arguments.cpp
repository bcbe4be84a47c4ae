#include "cli/command_arguments.h"

namespace orvo::cli {

CommandArguments::CommandArguments(std::initializer_list<std::string_view> value_options,
                                   std::initializer_list<std::string_view> flags) {
    for (std::string_view o : value_options) value_options_.emplace(o);
    for (std::string_view f : flags) flags_.emplace(f);
}

bool CommandArguments::Parse(std::span<const std::string> args, std::string* error) {
    bool options_done = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options_done || arg.size() < 2 || arg[0] != '-') {
            positional_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_done = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (flags_.count(name) != 0 && equals == std::string::npos) {
            set_flags_.insert(name);
            continue;
        }
        if (value_options_.count(name) == 0) {
            *error = "unknown option '" + arg + "'";
            return false;
        }
        if (values_.count(name) != 0) {
            *error = "option " + name + " is given twice";
            return false;
        }
        if (equals != std::string::npos) {
            values_[name] = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            values_[name] = args[++i];
        } else {
            *error = "option " + name + " needs a value";
            return false;
        }
    }
    return true;
}

std::optional<std::string> CommandArguments::value(std::string_view option) const {
    const auto it = values_.find(option);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

bool CommandArguments::Choice(std::string_view option,
                              std::initializer_list<std::string_view> choices, std::string* chosen,
                              std::string* error) const {
    const auto given = value(option);
    if (!given) return true;  // *chosen keeps its default
    std::string list;
    for (std::string_view c : choices) {
        if (*given == c) {
            *chosen = *given;
            return true;
        }
        list += (list.empty() ? "" : ", ") + std::string(c);
    }
    *error = "unknown " + std::string(option.substr(2)) + " '" + *given + "' (choose " + list + ")";
    return false;
}

}  // namespace orvo::cli
