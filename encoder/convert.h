#pragma once
#include <string>

#include "options.h"
#include "progress_sink.h"

// Converts options.input into options.output and writes its thumbnail
// beside it, reporting how far it has got to `progress`. Throws Failure when
// the video could not be made; any earlier file under the output's name is
// then left as it was, and so is an earlier thumbnail.
//
// The video is what the user asked for, the thumbnail only its picture in
// the PSP's list. So the video is put in place first, and a thumbnail that
// cannot be written or cannot replace an earlier one (read-only, locked) is
// no failure: the run succeeds, the earlier thumbnail (if any) stays as it
// was, and the returned warning says so. Empty when all went well.
std::string Convert(const EncodeOptions& options, ProgressSink& progress);
