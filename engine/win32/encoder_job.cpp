#include "encoder_job.h"

#include "unique_handle.h"

namespace {

HANDLE MakeKillOnCloseJob() {
    UniqueHandle job(CreateJobObjectA(nullptr, nullptr));
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
        return nullptr;
    return job.Release();
}

}  // namespace

bool AddToEncoderJob(HANDLE process) {
    // Deliberately never closed: the system closes it when the program ends.
    static const HANDLE job = MakeKillOnCloseJob();
    return job && AssignProcessToJobObject(job, process);
}
