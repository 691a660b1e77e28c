#pragma once
// The process-wide values of the windows. A batch takes copies of what it
// needs at Start (BatchSetup) and never reads these.
#include <string>
#include <vector>

#include "conversion_settings.h"
#include "job_list.h"

extern ConversionSettings Settings;  // the conversion settings and Output
extern JobList Jobs;                 // the rows the job list shows; Jobs.NextNumber
extern std::string EncoderPath;      // set once at start by InstallEncoder
// The paths InstallEncoder looked at without finding the encoder, in order;
// empty when it found one.
extern std::vector<std::string> EncoderNotFoundAt;
