#pragma once
// The one command line handed to the encoder for each job. Its spaces and
// quotes are the whole interface with the encoder, so they are exact.
#include <string>

#include "conversion_settings.h"
#include "job_list.h"

// `encoderPath` goes first, in double quotes when it contains a space.
std::string BuildEncoderCommand(const ConversionJob& job, const ConversionSettings& settings,
                                const std::string& encoderPath);
