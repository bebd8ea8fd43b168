// Linked into every test binary: each test process gets a temporary folder of
// its own, and testing::TempDir() points into it (through TEST_TMPDIR), so
// two test runs at once never write the same file. The folder and all in it
// go when the process ends.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

struct ProcessTempDir {
    ProcessTempDir() {
        std::error_code error;
        std::string pattern = (std::filesystem::temp_directory_path(error) / "tarsk_test_XXXXXX").string();
        if (!error && ::mkdtemp(pattern.data())) {
            dir = pattern;
            ::setenv("TEST_TMPDIR", dir.c_str(), 1);
        }
    }
    ~ProcessTempDir() {
        std::error_code error;
        if (!dir.empty()) std::filesystem::remove_all(dir, error);
    }
    std::string dir;
} const gProcessTempDir;

}  // namespace
