#include "size_estimate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "codepage.h"

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr double kGigabyte = 1024.0 * kMegabyte;

std::string SizeIn(uint64_t bytes, bool gigabytes) {
    char text[32];
    if (gigabytes)
        std::snprintf(text, sizeof text, "%.1f GB", static_cast<double>(bytes) / kGigabyte);
    else
        std::snprintf(text, sizeof text, "%.0f MB", static_cast<double>(bytes) / kMegabyte);
    return text;
}

std::string FolderOf(const std::string& target) {
    const size_t slash = LastBackslash(target);
    if (slash == std::string::npos) return ".";
    return target.substr(0, slash + 1);
}

}  // namespace

int64_t EstimatedOutputBytes(int64_t durationUs, const ConversionSettings& settings) {
    if (durationUs < 0) return -1;
    const double bitsPerSecond = 1000.0 * (static_cast<double>(settings.VideoQuality) + settings.AudioQuality);
    const double streamBytes = static_cast<double>(durationUs) / 1e6 * bitsPerSecond / 8.0;
    return static_cast<int64_t>(streamBytes * (1.0 + kContainerShare)) + kThumbnailBytes;
}

std::string SpaceShortText(uint64_t neededBytes, uint64_t availableBytes) {
    const bool gigabytes = static_cast<double>(std::max(neededBytes, availableBytes)) >= kGigabyte;
    return SysText("目标磁盘空间不足：这批文件预计需要 ") + SizeIn(neededBytes, gigabytes) + SysText("，可用 ") +
           SizeIn(availableBytes, gigabytes) + SysText("。仍要开始吗？");
}

std::string SpaceLeftText(uint64_t availableBytes) {
    return SysText("目标磁盘可用 ") + SizeIn(availableBytes, static_cast<double>(availableBytes) >= kGigabyte);
}

std::vector<DriveShortage> DrivesWithoutRoom(const JobList& jobs, const std::vector<int64_t>& estimates,
                                             DiskSpace& disks) {
    std::vector<DriveShortage> drives;  // every drive asked, in order of first row
    std::map<std::string, std::string> volumeOfFolder;
    for (int i = 0; i < jobs.Count() && static_cast<size_t>(i) < estimates.size(); ++i) {
        if (estimates[static_cast<size_t>(i)] < 0) continue;
        const std::string folder = FolderOf(jobs.Row(i).Target);
        auto known = volumeOfFolder.find(folder);
        if (known == volumeOfFolder.end()) {
            std::string volume;
            if (!disks.VolumeOf(folder, volume)) volume.clear();
            known = volumeOfFolder.emplace(folder, volume).first;
        }
        if (known->second.empty()) continue;
        auto drive = std::find_if(drives.begin(), drives.end(),
                                  [&](const DriveShortage& d) { return d.volume == known->second; });
        if (drive == drives.end()) {
            DriveShortage added;
            added.volume = known->second;
            if (!disks.FreeBytes(added.volume, added.available)) added.available = UINT64_MAX;
            drives.push_back(added);
            drive = drives.end() - 1;
        }
        drive->needed += static_cast<uint64_t>(estimates[static_cast<size_t>(i)]);
    }
    std::vector<DriveShortage> short_;
    for (const DriveShortage& drive : drives)
        if (drive.needed > drive.available) short_.push_back(drive);
    return short_;
}

std::vector<std::string> RoomQuestions(const JobList& jobs, const ConversionSettings& settings, LengthCache& lengths,
                                       LengthProbe& probe, DiskSpace& disks) {
    std::vector<std::string> sources;
    for (int i = 0; i < jobs.Count(); ++i) sources.push_back(jobs.Row(i).Source);
    std::vector<int64_t> estimates;
    for (int64_t length : lengths.LengthsOf(sources, probe)) estimates.push_back(EstimatedOutputBytes(length, settings));
    std::vector<std::string> questions;
    for (const DriveShortage& drive : DrivesWithoutRoom(jobs, estimates, disks))
        questions.push_back(SpaceShortText(drive.needed, drive.available));
    return questions;
}

std::vector<int64_t> ParseProbeOutput(const std::string& text, size_t count) {
    std::vector<int64_t> lengths;
    size_t at = 0;
    while (lengths.size() < count && at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        char* rest = nullptr;
        const long long value = std::strtoll(line.c_str(), &rest, 10);
        lengths.push_back(!line.empty() && rest && *rest == '\0' && value >= 0 ? value : -1);
        at = end + 1;
    }
    lengths.resize(count, -1);
    return lengths;
}

std::vector<int64_t> LengthCache::LengthsOf(const std::vector<std::string>& sources, LengthProbe& probe) {
    std::vector<std::string> unknown;
    std::set<std::string> asked;
    for (const std::string& source : sources)
        if (!known_.count(source) && asked.insert(source).second) unknown.push_back(source);
    if (!unknown.empty()) {
        const std::vector<int64_t> lengths = probe.Lengths(unknown);
        for (size_t i = 0; i < unknown.size() && i < lengths.size(); ++i)
            if (lengths[i] >= 0) known_[unknown[i]] = lengths[i];
    }
    std::vector<int64_t> result;
    for (const std::string& source : sources) {
        auto found = known_.find(source);
        result.push_back(found == known_.end() ? -1 : found->second);
    }
    return result;
}
