#include "Dispatch/ZedDispatchException.h"

ZedDispatchException::ZedDispatchException(std::string name, const std::string& reason)
    : std::runtime_error(reason), name_(std::move(name)) {}
