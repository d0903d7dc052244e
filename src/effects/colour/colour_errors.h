#pragma once
// Errors of the colour library.

#include <stdexcept>
#include <string>

namespace pixora {

class EColorError : public std::runtime_error {
public:
    explicit EColorError(const std::string& message) : std::runtime_error(message) {}
};

class EHistogramError : public std::runtime_error {
public:
    explicit EHistogramError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace pixora
