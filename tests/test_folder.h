#pragma once
// A fresh folder for one test, removed with everything in it afterwards.
#include <string>

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // A path inside the folder, in the platform's own form.
    std::string Path(const std::string& name) const;
    std::string ReadFile(const std::string& name) const;
    void WriteFile(const std::string& name, const std::string& content) const;

private:
    std::string root_;
};
