#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "progress_mapping.h"

namespace {

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

}  // namespace

struct ProgressMapping::Handles {
    std::string made_name;  // unlinked when the mapping goes; empty for a front end's record
    void* view = MAP_FAILED;
    ~Handles() {
        if (view != MAP_FAILED) munmap(view, trancor::kProgressSize);
        if (!made_name.empty()) shm_unlink(made_name.c_str());
    }
};

unsigned long ProgressMapping::ProcessId() { return static_cast<unsigned long>(getpid()); }

std::unique_ptr<ProgressMapping> ProgressMapping::Create(const std::string& name) {
    // Owner only: another user has no business with our progress.
    Descriptor shm{shm_open(name.c_str(), O_RDWR | O_CREAT, 0600)};
    if (shm.fd < 0) return nullptr;
    auto handles = std::make_unique<Handles>();
    handles->made_name = name;
    if (ftruncate(shm.fd, trancor::kProgressSize) != 0) return nullptr;
    handles->view = mmap(nullptr, trancor::kProgressSize, PROT_READ | PROT_WRITE, MAP_SHARED, shm.fd, 0);
    if (handles->view == MAP_FAILED) return nullptr;
    // The mapping keeps the memory; the descriptor is not needed any more.
    auto* record = static_cast<trancor::ProgressRecord*>(handles->view);
    return std::unique_ptr<ProgressMapping>(new ProgressMapping(std::move(handles), record));
}

std::unique_ptr<ProgressMapping> ProgressMapping::Open(const std::string& name) {
    Descriptor shm{shm_open(name.c_str(), O_RDWR, 0)};
    if (shm.fd < 0) return nullptr;
    // Mapped beyond its end, the record would fault on the first write.
    struct stat info {};
    if (fstat(shm.fd, &info) != 0 || info.st_size < static_cast<off_t>(trancor::kProgressSize)) return nullptr;
    auto handles = std::make_unique<Handles>();
    handles->view = mmap(nullptr, trancor::kProgressSize, PROT_READ | PROT_WRITE, MAP_SHARED, shm.fd, 0);
    if (handles->view == MAP_FAILED) return nullptr;
    auto* record = static_cast<trancor::ProgressRecord*>(handles->view);
    return std::unique_ptr<ProgressMapping>(new ProgressMapping(std::move(handles), record));
}

ProgressMapping::ProgressMapping(std::unique_ptr<Handles> handles, trancor::ProgressRecord* record)
    : handles_(std::move(handles)), record_(record) {}

ProgressMapping::~ProgressMapping() = default;
