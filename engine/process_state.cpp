#include "process_state.h"

ConversionSettings Settings;
JobList Jobs;
std::string EncoderPath;
