#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::cli {

// The arguments of one command: options that take a value ("--format csv"
// or "--format=csv"), flags ("--timed") and everything else as positional
// arguments ("--" ends the options). Parse names the argument at fault.
class CommandArguments {
public:
    CommandArguments(std::initializer_list<std::string_view> value_options,
                     std::initializer_list<std::string_view> flags);

    // false and a one-line reason (naming the bad argument) in *error.
    bool Parse(std::span<const std::string> args, std::string* error);

    const std::vector<std::string>& positional() const { return positional_; }
    std::optional<std::string> value(std::string_view option) const;
    bool flag(std::string_view option) const { return set_flags_.count(std::string(option)) != 0; }

    // The value of option checked against a list of choices; *error names
    // the value and the choices when it is not one of them.
    bool Choice(std::string_view option, std::initializer_list<std::string_view> choices,
                std::string* chosen, std::string* error) const;

private:
    std::set<std::string, std::less<>> value_options_;
    std::set<std::string, std::less<>> flags_;
    std::map<std::string, std::string, std::less<>> values_;
    std::set<std::string> set_flags_;
    std::vector<std::string> positional_;
};

}  // namespace orvo::cli
