#include "taskbar_progress.h"

Win32TaskbarProgress::Win32TaskbarProgress(HWND window) : window_(window) {
    ITaskbarList3* list = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&list))) ||
        !list)
        return;
    list_.reset(list);
    if (FAILED(list_->HrInit())) list_.reset();
}

Win32TaskbarProgress::~Win32TaskbarProgress() = default;

void Win32TaskbarProgress::SetValue(uint64_t completed, uint64_t total) {
    if (!list_) return;
    list_->SetProgressValue(window_, completed, total);
}

void Win32TaskbarProgress::Clear() {
    if (!list_) return;
    list_->SetProgressState(window_, TBPF_NOPROGRESS);
}
