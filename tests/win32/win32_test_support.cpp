#include "win32_test_support.h"

#include <fstream>
#include <sstream>

#include "../test_folder.h"
#include "win32/executable_path.h"

std::string InFolder(const TestFolder& folder, const std::string& name) {
    std::string root = folder.Path("_");
    root.pop_back();
    return root + name;
}

std::string TestEncoderPath() {
    const std::string path = ExecutablePath();
    return path.substr(0, path.rfind('\\') + 1) + "vq_test_encoder.exe";
}

EncoderBehaviour::EncoderBehaviour(const std::string& options) {
    SetEnvironmentVariableA("VQ_TEST_ENCODER", options.c_str());
}

EncoderBehaviour::~EncoderBehaviour() { SetEnvironmentVariableA("VQ_TEST_ENCODER", nullptr); }

NamedEvent::NamedEvent(const std::string& purpose)
    : name_("VidquillTest-" + purpose + "-" + std::to_string(GetCurrentProcessId())),
      handle_(CreateEventA(nullptr, TRUE, FALSE, name_.c_str())) {}

bool NamedEvent::WaitSet() const { return WaitForSingleObject(handle_.Get(), 60000) == WAIT_OBJECT_0; }

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool PumpUntilSet(HANDLE event) {
    const ULONGLONG deadline = GetTickCount64() + 60000;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        const DWORD result =
            MsgWaitForMultipleObjects(1, &event, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;
    }
}
