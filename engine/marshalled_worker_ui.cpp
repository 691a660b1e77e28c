#include "marshalled_worker_ui.h"

void MarshalledWorkerUi::StartProgressTimer() {
    invoker_.Invoke([this] { target_.StartProgressTimer(); });
}

void MarshalledWorkerUi::StopProgressTimer() {
    invoker_.Invoke([this] { target_.StopProgressTimer(); });
}

void MarshalledWorkerUi::SetProgress(int position) {
    invoker_.Invoke([this, position] { target_.SetProgress(position); });
}

int MarshalledWorkerUi::ProgressPosition() {
    int position = 0;
    invoker_.Invoke([this, &position] { position = target_.ProgressPosition(); });
    return position;
}

int MarshalledWorkerUi::ProgressMax() {
    int max = 0;
    invoker_.Invoke([this, &max] { max = target_.ProgressMax(); });
    return max;
}

void MarshalledWorkerUi::RedrawMainWindow() {
    invoker_.Invoke([this] { target_.RedrawMainWindow(); });
}

void MarshalledWorkerUi::ShowEncoderProgress(int position, const std::string& statusLine) {
    invoker_.Invoke([this, position, &statusLine] { target_.ShowEncoderProgress(position, statusLine); });
}

int MarshalledWorkerUi::RowCount() {
    int count = 0;
    invoker_.Invoke([this, &count] { count = target_.RowCount(); });
    return count;
}

bool MarshalledWorkerUi::ReadRow(int position, ConversionJob& job) {
    bool found = false;
    // Copied on the UI thread: the row's strings belong to the list there.
    ConversionJob copy;
    invoker_.Invoke([this, position, &found, &copy] { found = target_.ReadRow(position, copy); });
    if (found) job = std::move(copy);
    return found;
}

void MarshalledWorkerUi::SelectRow(int position) {
    invoker_.Invoke([this, position] { target_.SelectRow(position); });
}

void MarshalledWorkerUi::SetStatus(int position, const std::string& status) {
    invoker_.Invoke([this, position, &status] { target_.SetStatus(position, status); });
}

void MarshalledWorkerUi::SetFailureReason(int position, const std::string& reason) {
    invoker_.Invoke([this, position, &reason] { target_.SetFailureReason(position, reason); });
}

void MarshalledWorkerUi::SetLogPath(int position, const std::string& path) {
    invoker_.Invoke([this, position, &path] { target_.SetLogPath(position, path); });
}

void MarshalledWorkerUi::ShowFinishedMessage(const std::string& text) {
    invoker_.Invoke([this, &text] { target_.ShowFinishedMessage(text); });
}

void MarshalledWorkerUi::SetCancelButtonToClose() {
    invoker_.Invoke([this] { target_.SetCancelButtonToClose(); });
}
