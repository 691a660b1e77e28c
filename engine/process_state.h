#pragma once
// The process-wide values the windows and the worker share. The worker only
// reads Settings and EncoderPath; it reaches the rows through WorkerUi.
#include <string>

#include "conversion_settings.h"
#include "job_list.h"

extern ConversionSettings Settings;  // the conversion settings and Output
extern JobList Jobs;                 // the rows the job list shows; Jobs.NextNumber
extern std::string EncoderPath;      // set once at start by InstallEncoder
