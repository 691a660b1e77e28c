#pragma once
// The one error type of the encoder: its text is the line shown to the user.
#include <stdexcept>
#include <string>

class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A command line that cannot be run; reported before any file is touched.
class UsageError : public Failure {
public:
    using Failure::Failure;
};
