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

EncoderBehaviour::EncoderBehaviour(const std::string& options, const std::string& targetName)
    : variable_(targetName.empty() ? "VQ_TEST_ENCODER" : "VQ_TEST_ENCODER_" + targetName) {
    SetEnvironmentVariableA(variable_.c_str(), options.c_str());
}

EncoderBehaviour::~EncoderBehaviour() { SetEnvironmentVariableA(variable_.c_str(), nullptr); }

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

