#pragma once
// Error types shared by every reader and writer.
#include <stdexcept>
#include <string>

namespace pc {

// Base of every error that carries a message meant for the user.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Input that is malformed, truncated or beyond the limits.
class BadInput : public Error {
public:
    using Error::Error;
};

// A read past the end of the data.
class Truncated : public BadInput {
public:
    Truncated() : BadInput("truncated") {}
};

// A file could not be read or written.
class FileError : public Error {
public:
    using Error::Error;
};

} // namespace pc
