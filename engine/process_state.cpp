#include "process_state.h"

ConversionSettings Settings;
JobList Jobs;
std::string EncoderPath;
std::vector<std::string> EncoderNotFoundAt;
