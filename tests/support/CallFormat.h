#pragma once

#include <iomanip>
#include <sstream>
#include <string>
#include <tuple>

// One graphics-library call as a line of text: "glRotatef(15,1,1,0)". Floats
// keep nine significant digits, enough to tell any two of them apart;
// characters are written as their codes.
template <typename... Args> std::string formatCall(const char* name, const Args&... args) {
    std::ostringstream line;
    line << std::setprecision(9) << name << '(';
    [[maybe_unused]] const char* separator = "";
    ((line << separator << +args, separator = ","), ...);
    line << ')';
    return line.str();
}

template <typename... Args>
std::string formatCall(const char* name, const std::tuple<Args...>& args) {
    return std::apply([name](const auto&... each) { return formatCall(name, each...); }, args);
}
