#include "convert.h"

#include "failure.h"
#include "file_system.h"
#include "psp_output.h"
#include "source.h"
#include "staged_file.h"
#include "thumbnail.h"
#include "trancor_files.h"
#include "transcoder.h"

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

}  // namespace

std::string Convert(const EncodeOptions& options, ProgressSink& progress) {
    const std::string thumbnail_path = trancor::ThumbnailPathFor(options.output);
    // The thumbnail would overwrite the video (names are case-blind on the
    // PSP's FAT and on Windows).
    if (Upper(thumbnail_path) == Upper(options.output))
        throw Failure(FailureReason::BadCommandLine,
                      options.output + ": an output named .THM would be overwritten by its own thumbnail");
    // Every file this run may replace or remove, the stale ".part" files
    // included, must not be the source.
    for (const std::string& path : {options.output, trancor::StagedPathFor(options.output), thumbnail_path,
                                    trancor::StagedPathFor(thumbnail_path)}) {
        if (fsys::SameFile(options.input, path))
            throw Failure(FailureReason::OutputIsSource, path + ": this file is the input; choose another output");
    }

    // Declared first so they outlive the open output: the unfinished files
    // are removed only after they have been closed.
    StagedFile video_file(options.output);
    StagedFile thumbnail_file(thumbnail_path);

    Source source(options.input, nullptr, options.chinese_sound);
    progress.SetDuration(source.known_duration_us());
    PspOutput output(video_file.part_path(), options);
    output.ReportProgressTo(&progress);
    Transcoder transcoder(source, output, options);
    transcoder.Run();
    output.Finish();
    std::string warning = transcoder.subtitle_warning();
    bool thumbnail_written = false;
    try {
        WriteThumbnail(transcoder.thumbnail(), thumbnail_file.part_path());
        thumbnail_written = true;
    } catch (const Failure& e) {
        warning += (warning.empty() ? "" : "; ") + std::string("no thumbnail: ") + e.what();
    }

    video_file.Commit();
    if (thumbnail_written) {
        try {
            thumbnail_file.Commit();
        } catch (const Failure& e) {
            warning += (warning.empty() ? "" : "; ") + std::string("the earlier thumbnail stays: ") + e.what();
        }
    }
    return warning;
}
