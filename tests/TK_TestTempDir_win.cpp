// The Windows twin of TK_TestTempDir.cpp: each test process gets a folder
// of its own below the system's temporary folder, named after the process,
// and testing::TempDir() and temp_directory_path() point into it (TEST_TMPDIR,
// TMP, and TEMP, which older GoogleTest releases read on Windows).
#include <stdlib.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

struct ProcessTempDir {
    ProcessTempDir() {
        std::error_code error;
        const std::filesystem::path path =
            std::filesystem::temp_directory_path(error) / ("tarsk_test_" + std::to_string(GetCurrentProcessId()));
        if (error || !std::filesystem::create_directories(path, error)) return;
        dir = path.generic_u8string() + "/";  // "/" like every path the program makes
        _putenv_s("TEST_TMPDIR", dir.c_str());
        _putenv_s("TMP", dir.c_str());  // the first the C++ library's temp_directory_path reads
        _putenv_s("TEMP", dir.c_str());
    }
    ~ProcessTempDir() {
        std::error_code error;
        if (!dir.empty()) std::filesystem::remove_all(std::filesystem::u8path(dir), error);
    }
    std::string dir;
} const gProcessTempDir;

}  // namespace
