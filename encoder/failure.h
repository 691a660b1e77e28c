#pragma once
// The one error type of the encoder: its text is the line shown to the user,
// its reason the code published to the program that runs the encoder.
#include <stdexcept>
#include <string>

#include "trancor_progress.h"

using trancor::FailureReason;

class Failure : public std::runtime_error {
public:
    Failure(FailureReason reason, const std::string& text) : std::runtime_error(text), reason_(reason) {}
    // A failure not classified yet.
    explicit Failure(const std::string& text) : Failure(FailureReason::Internal, text) {}
    FailureReason reason() const { return reason_; }

private:
    FailureReason reason_;
};

// A command line that cannot be run; reported before any file is touched.
class UsageError : public Failure {
public:
    explicit UsageError(const std::string& text) : Failure(FailureReason::BadCommandLine, text) {}
};
