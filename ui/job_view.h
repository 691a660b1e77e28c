#pragma once
// The main window's report list, which mirrors the process-wide JobList. It
// is only a view: rows, texts and the selection live in the JobList, which
// tells this view of every change; a selection made by the user is passed
// back to the JobList. Paths keep their full texts but are drawn with the
// middle left out, so their file names show; when the pointer rests on a
// row, a tip gives its full paths and, for a "失败" row, why it failed.
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "flat_button.h"
#include "job_list.h"

class JobView : public JobListListener {
public:
    // The handler of a right-button press, in the list's client coordinates.
    using MouseDown = std::function<void(int x, int y)>;

    JobView() = default;
    JobView(const JobView&) = delete;
    JobView& operator=(const JobView&) = delete;
    ~JobView() override;

    void Create(HWND parent, int id, const RECT& bounds, HFONT font, JobList& jobs,
                MouseDown onRightButtonDown);
    HWND Handle() const { return list_; }

    // The parent forwards WM_NOTIFY from the list here and returns the result.
    LRESULT HandleNotify(const NMHDR& header);

    // Rows added while one is alive are drawn once, at its end: the list
    // otherwise repaints and resizes its scroll bar for every row, which
    // makes a large drop take minutes.
    class AddingRows {
    public:
        AddingRows(JobView& view, size_t count);
        ~AddingRows();
        AddingRows(const AddingRows&) = delete;
        AddingRows& operator=(const AddingRows&) = delete;

    private:
        HWND list_;
    };

    // JobListListener
    void RowInserted(int position) override;
    void RowRemoved(int position) override;
    void RowChanged(int position) override;
    void SelectionChanged(int position) override;

private:
    static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data);
    void SetText(int position, int column, const std::string& text);
    // The paths (and failure reason) of the row under the pointer become the tip.
    void FollowPointer(int x, int y);
    LRESULT CustomDraw(const NMLVCUSTOMDRAW& draw);
    void DrawPath(const NMLVCUSTOMDRAW& draw);
    // The list window is being destroyed (with its parent): let go of it.
    void Detach();

    HWND list_ = nullptr;
    ToolTips rowTips_;
    std::string tipText_;
    bool tipStale_ = false;  // the rows changed since the tip was chosen
    JobList* jobs_ = nullptr;
    MouseDown onRightButtonDown_;
    bool mirroring_ = false;  // the view is following the JobList, not the user
};
