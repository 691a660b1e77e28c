#pragma once
// Helpers for the tests that run the real process and file calls under Wine.
#include <windows.h>

#include <string>

#include "../../engine/win32/unique_handle.h"

class TestFolder;

// `name` (system code page) inside `folder`. TestFolder::Path goes through
// std::filesystem, which does not keep code-page-936 bytes on Windows.
std::string InFolder(const TestFolder& folder, const std::string& name);

// The test encoder, built beside the test program.
std::string TestEncoderPath();

// Sets VQ_TEST_ENCODER (inherited by every process started meanwhile) and
// clears it again; with a target's file name, only for the encoder writing
// that target.
class EncoderBehaviour {
public:
    explicit EncoderBehaviour(const std::string& options, const std::string& targetName = "");
    ~EncoderBehaviour();
    EncoderBehaviour(const EncoderBehaviour&) = delete;
    EncoderBehaviour& operator=(const EncoderBehaviour&) = delete;

private:
    std::string variable_;
};

// A manual-reset event with a name unique to this process.
class NamedEvent {
public:
    explicit NamedEvent(const std::string& purpose);
    const std::string& Name() const { return name_; }
    HANDLE Get() const { return handle_.Get(); }
    // Waits up to a minute; false when it was not set by then (a hang guard).
    bool WaitSet() const;
    void Set() const { SetEvent(handle_.Get()); }

private:
    std::string name_;
    UniqueHandle handle_;
};

// The bytes of a file; empty when it does not exist.
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
