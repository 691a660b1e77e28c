#pragma once
// The size estimate's system side: the target drives' free space, and the
// sources' lengths from "trancor -probe".
#include "../size_estimate.h"

class Win32DiskSpace final : public DiskSpace {
public:
    // Relative folders (an Output of "0") lie on the current folder's drive.
    bool VolumeOf(const std::string& folder, std::string& volume) override;
    bool FreeBytes(const std::string& volume, uint64_t& bytes) override;
};

class EncoderLengthProbe final : public LengthProbe {
public:
    explicit EncoderLengthProbe(std::string encoderPath) : encoderPath_(std::move(encoderPath)) {}
    // Runs the encoder hidden, as many sources a run as its command line
    // holds; its stdout goes through a temporary file. A run that takes
    // longer than kProbeTimeoutMs is stopped; its sources stay unknown.
    std::vector<int64_t> Lengths(const std::vector<std::string>& sources) override;

    static constexpr int kProbeTimeoutMs = 60000;

private:
    std::vector<int64_t> LengthsOfOneRun(const std::vector<std::string>& sources);
    std::string encoderPath_;
};
