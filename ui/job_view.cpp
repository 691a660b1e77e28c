#include "job_view.h"

#include <commctrl.h>

#include <stdexcept>

#include "app_shell.h"
#include "codepage.h"
#include "win_handles.h"

namespace {

struct Column {
    const char* header;
    int width;
};
const Column kColumns[] = {{"来源文件", 225}, {"目标文件", 225}, {"状态", 80}};
// The space between a cell's edge and its text, as the list leaves it.
const int kCellPadding = 6;
// Wide enough for a long path on one line; longer ones wrap.
const int kTipWidth = 600;

// A row's full paths, and for a failed row the reason below them.
std::string RowTip(const ConversionJob& job) {
    std::string tip = job.Source + "\r\n" + job.Target;
    if (job.Status == StatusFailed() && !job.Reason.empty()) tip += "\r\n" + job.Reason;
    return tip;
}

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
    rowTips_.Create(parent);
    rowTips_.Add(list_, "");
    rowTips_.SetMaxWidth(kTipWidth);
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
    if (row >= 0 && row < jobs_->Count()) text = RowTip(jobs_->Row(row));
    if (text == tipText_ && !tipStale_) return;
    tipStale_ = false;
    tipText_ = text;
    rowTips_.SetText(list_, text);
    // A tip that shows names the row it was chosen for; it comes back, with
    // the new text, when the pointer rests on the new row.
    rowTips_.Pop();
}

LRESULT JobView::HandleNotify(const NMHDR& header) {
    if (header.code == NM_CUSTOMDRAW) return CustomDraw(reinterpret_cast<const NMLVCUSTOMDRAW&>(header));
    if (header.code != LVN_ITEMCHANGED || mirroring_ || !jobs_) return 0;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (!(change.uChanged & LVIF_STATE)) return 0;
    if ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) {
        int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
        Mirroring guard(mirroring_);
        jobs_->Select(selected);
    }
    return 0;
}

LRESULT JobView::CustomDraw(const NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        if (draw.iSubItem > 1 || !jobs_) return CDRF_DODEFAULT;
        DrawPath(draw);
        return CDRF_SKIPDEFAULT;
    }
    return CDRF_DODEFAULT;
}

void JobView::DrawPath(const NMLVCUSTOMDRAW& draw) {
    const int row = static_cast<int>(draw.nmcd.dwItemSpec);
    if (row < 0 || row >= jobs_->Count()) return;
    const ConversionJob& job = jobs_->Row(row);
    RECT cell{};
    // LVIR_LABEL: the first column's cell without its icon space; for the
    // others, the whole cell.
    if (!ListView_GetSubItemRect(list_, row, draw.iSubItem, LVIR_LABEL, &cell)) return;
    // The selected row is highlighted only while the list has the focus,
    // matching the status column, which the list still draws itself.
    const bool highlighted =
        GetFocus() == list_ && (ListView_GetItemState(list_, row, LVIS_SELECTED) & LVIS_SELECTED);
    HDC dc = draw.nmcd.hdc;
    const COLORREF back = highlighted ? GetSysColor(COLOR_HIGHLIGHT) : ListView_GetTextBkColor(list_);
    const COLORREF fore = highlighted ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ListView_GetTextColor(list_);
    UniqueBrush brush(CreateSolidBrush(back));
    FillRect(dc, &cell, brush.Get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, fore);
    RECT text = cell;
    InflateRect(&text, -kCellPadding, 0);
    // The middle of a long path gives way, so the file name at its end shows.
    const std::string& path = draw.iSubItem == 0 ? job.Source : job.Target;
    DrawTextA(dc, path.c_str(), -1, &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

JobView::AddingRows::AddingRows(JobView& view, size_t count) : list_(count ? view.list_ : nullptr) {
    if (!list_) return;
    // Room for the new rows at once rather than a growth per row.
    const auto total = static_cast<WPARAM>(ListView_GetItemCount(list_)) + count;
    SendMessageA(list_, LVM_SETITEMCOUNT, total, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
}

JobView::AddingRows::~AddingRows() {
    if (!list_) return;
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
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
