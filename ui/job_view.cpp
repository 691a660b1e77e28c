#include "job_view.h"

#include <commctrl.h>

#include <stdexcept>

#include "app_shell.h"
#include "codepage.h"

namespace {

struct Column {
    const char* header;
    int width;
};
const Column kColumns[] = {{"来源文件", 225}, {"目标文件", 225}, {"状态", 80}};

class Mirroring {
public:
    explicit Mirroring(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~Mirroring() { flag_ = old_; }

private:
    bool& flag_;
    bool old_;
};

}  // namespace

JobView::~JobView() {
    if (jobs_) jobs_->SetListener(nullptr);
    if (list_) RemoveWindowSubclass(list_, Subclass, 1);
}

void JobView::Detach() {
    RemoveWindowSubclass(list_, Subclass, 1);
    if (jobs_) jobs_->SetListener(nullptr);
    jobs_ = nullptr;
    list_ = nullptr;
}

void JobView::Create(HWND parent, int id, const RECT& bounds, HFONT font, JobList& jobs,
                     MouseDown onRightButtonDown) {
    // No LVS_SHOWSELALWAYS: the selected row is highlighted only while the
    // list has the focus. No LVS_EDITLABELS, no header sorting.
    list_ = CreateWindowExA(0, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                LVS_NOSORTHEADER,
                            bounds.left, bounds.top, bounds.right - bounds.left,
                            bounds.bottom - bounds.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app::Instance(),
                            nullptr);
    if (!list_) throw std::runtime_error("The job list could not be created");
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    ListView_SetBkColor(list_, RGB(255, 255, 255));
    ListView_SetTextBkColor(list_, RGB(255, 255, 255));

    int index = 0;
    for (const Column& c : kColumns) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(SysText(c.header).c_str());
        column.cx = c.width;
        column.iSubItem = index;
        SendMessageA(list_, LVM_INSERTCOLUMNA, index++, reinterpret_cast<LPARAM>(&column));
    }

    onRightButtonDown_ = std::move(onRightButtonDown);
    SetWindowSubclass(list_, Subclass, 1, reinterpret_cast<DWORD_PTR>(this));
    reasonTips_.Create(parent);
    reasonTips_.Add(list_, "");
    jobs_ = &jobs;
    jobs.SetListener(this);
    for (int i = 0; i < jobs.Count(); ++i) RowInserted(i);
}

LRESULT CALLBACK JobView::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<JobView*>(data);
    if (message == WM_MOUSEMOVE) {
        Guarded([&] { self->FollowPointer(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); });
    } else if (message == WM_NCDESTROY) {
        self->Detach();
    } else if (message == WM_RBUTTONDOWN) {
        int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        // The list first selects the row under the pointer (and waits to see
        // whether a drag begins); then the handler runs, so the menu acts on
        // the row that was pressed.
        LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        if (self->onRightButtonDown_) Guarded([&] { self->onRightButtonDown_(x, y); });
        return result;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void JobView::FollowPointer(int x, int y) {
    if (!jobs_) return;
    LVHITTESTINFO hit{};
    hit.pt = POINT{x, y};
    // The subitem test finds the row under any column, not only the first.
    const int row = static_cast<int>(SendMessageA(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    std::string text;
    if (row >= 0 && row < jobs_->Count() && jobs_->Row(row).Status == StatusFailed()) text = jobs_->Row(row).Reason;
    if (text == tipText_ && !tipStale_) return;
    tipStale_ = false;
    tipText_ = text;
    reasonTips_.SetText(list_, text);
    // A tip that shows names the row it was chosen for; it comes back, with
    // the new text, when the pointer rests on the new row.
    reasonTips_.Pop();
}

void JobView::HandleNotify(const NMHDR& header) {
    if (header.code != LVN_ITEMCHANGED || mirroring_ || !jobs_) return;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (!(change.uChanged & LVIF_STATE)) return;
    if ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) {
        int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
        Mirroring guard(mirroring_);
        jobs_->Select(selected);
    }
}

void JobView::SetText(int position, int column, const std::string& text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list_, LVM_SETITEMTEXTA, position, reinterpret_cast<LPARAM>(&item));
}

void JobView::RowInserted(int position) {
    Mirroring guard(mirroring_);
    const ConversionJob& job = jobs_->Row(position);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = position;
    item.pszText = const_cast<char*>(job.Source.c_str());
    SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    SetText(position, 1, job.Target);
    SetText(position, 2, job.Status);
}

void JobView::RowRemoved(int position) {
    Mirroring guard(mirroring_);
    tipStale_ = true;
    ListView_DeleteItem(list_, position);
}

void JobView::RowChanged(int position) {
    Mirroring guard(mirroring_);
    tipStale_ = true;
    const ConversionJob& job = jobs_->Row(position);
    SetText(position, 0, job.Source);
    SetText(position, 1, job.Target);
    SetText(position, 2, job.Status);
}

void JobView::SelectionChanged(int position) {
    Mirroring guard(mirroring_);
    if (position < 0) {
        ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    } else {
        ListView_SetItemState(list_, position, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
}
