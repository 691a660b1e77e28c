#pragma once
// Will the batch fit? Each row's output size from its source's length and
// the bit rates, summed per target drive and set against the drive's free
// space before a batch starts.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "conversion_settings.h"
#include "job_list.h"

// The MP4's bytes beyond its streams' bit rates (headers, index, sample
// tables), as a share of them: 0.7 % to 1.2 % on the benchmark clips.
constexpr double kContainerShare = 0.009;
// The thumbnail beside each MP4 (5 to 7 KB on the benchmark clips).
constexpr int64_t kThumbnailBytes = 8 * 1024;

// The bytes a source of `durationUs` becomes with `settings` (the video and
// the audio bit rate, in kbit/s); -1 when the length is unknown (< 0).
int64_t EstimatedOutputBytes(int64_t durationUs, const ConversionSettings& settings);

// "目标磁盘空间不足：这批文件预计需要 1.2 GB，可用 0.8 GB。仍要开始吗？". Both
// sizes in the unit of the larger: GB with one decimal from 1 GB up, whole
// MB below (1 GB = 1024 MB, as Explorer counts).
std::string SpaceShortText(uint64_t neededBytes, uint64_t availableBytes);

// "目标磁盘可用 1.2 GB" (whole MB below 1 GB): the progress window's
// reading of the space left while a batch runs.
std::string SpaceLeftText(uint64_t availableBytes);

class DiskSpace {
public:
    virtual ~DiskSpace() = default;
    // The volume a folder lies on (its root, e.g. "E:\"); false when unknown.
    virtual bool VolumeOf(const std::string& folder, std::string& volume) = 0;
    virtual bool FreeBytes(const std::string& volume, uint64_t& bytes) = 0;
};

struct DriveShortage {
    std::string volume;
    uint64_t needed = 0;
    uint64_t available = 0;
};

// The drives whose free space is below what their rows are estimated to
// need, in the order of their first row. `estimates[i]` belongs to row i;
// rows of unknown size (-1) count nothing, drives that cannot be asked are
// left out.
std::vector<DriveShortage> DrivesWithoutRoom(const JobList& jobs, const std::vector<int64_t>& estimates,
                                             DiskSpace& disks);

// The sources' lengths, asked of the encoder ("trancor -probe").
class LengthProbe {
public:
    virtual ~LengthProbe() = default;
    // One length in microseconds per source, -1 when unknown.
    virtual std::vector<int64_t> Lengths(const std::vector<std::string>& sources) = 0;
};

// The probe's stdout: one decimal number a line; lines missing or not a
// number give -1.
std::vector<int64_t> ParseProbeOutput(const std::string& text, size_t count);

// Lengths asked once per source for the program's lifetime; an unknown one
// is asked again next time (the encoder may have been missing).
class LengthCache {
public:
    std::vector<int64_t> LengthsOf(const std::vector<std::string>& sources, LengthProbe& probe);

private:
    std::map<std::string, int64_t> known_;
};

// What to ask before the batch starts: SpaceShortText for every target drive
// the rows will not fit on, in the order of their first rows; none when all fit.
std::vector<std::string> RoomQuestions(const JobList& jobs, const ConversionSettings& settings, LengthCache& lengths,
                                       LengthProbe& probe, DiskSpace& disks);
