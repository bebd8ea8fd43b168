// Linked into every test binary: each test process gets a temporary folder of
// its own, and testing::TempDir() points into it (through TEST_TMPDIR), so
// two test runs at once never write the same file. The folder and all in it
// go when the process ends.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

class ProcessTempDir {
public:
    ProcessTempDir() {
        std::error_code error;
        std::string pattern = (std::filesystem::temp_directory_path(error) / "tarsk_test_XXXXXX").string();
        if (!error && ::mkdtemp(pattern.data())) {
            m_dir = pattern;
            ::setenv("TEST_TMPDIR", m_dir.c_str(), 1);
        }
    }
    ~ProcessTempDir() {
        std::error_code error;
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir, error);
    }
    ProcessTempDir(const ProcessTempDir&) = delete;
    ProcessTempDir& operator=(const ProcessTempDir&) = delete;

private:
    std::string m_dir;
};

const ProcessTempDir gProcessTempDir;

}  // namespace
