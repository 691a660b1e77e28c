#include "taskbar_progress.h"

Win32TaskbarProgress::Win32TaskbarProgress(HWND window, UiInvoker& uiThread) : window_(window), uiThread_(uiThread) {
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
    uiThread_.Invoke([this, completed, total] { list_->SetProgressValue(window_, completed, total); });
}

void Win32TaskbarProgress::Clear() {
    if (!list_) return;
    uiThread_.Invoke([this] { list_->SetProgressState(window_, TBPF_NOPROGRESS); });
}
