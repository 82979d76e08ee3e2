#pragma once

#include <stdexcept>

// Raised when a model object is hashed before its prime and identity are set; it aborts the
// handling of the service message being applied.
class VTBadHashException : public std::runtime_error {
  public:
    VTBadHashException() : std::runtime_error("BadHashException: UID or prime_ not set") {}
    static const char* name() { return "BadHashException"; }
};
