#pragma once
#include "options.h"
#include "progress_sink.h"

// Converts options.input into options.output (and its thumbnail). Returns
// only when both are complete and in place; throws Failure otherwise, with
// any earlier file under the output's name left as it was. Reports how far
// it has got to `progress`.
void Convert(const EncodeOptions& options, ProgressSink& progress);
