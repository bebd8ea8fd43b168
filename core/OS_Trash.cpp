// The freedesktop trash and its fallback (see OS_Trash.h). A name in the
// trash is claimed by creating its ".trashinfo" record with O_EXCL before the
// file moves, as freedesktop trash folders require, so two programs trashing the
// same name at once never overwrite each other.
#include "core/OS_Trash.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr int kMaxNameTries = 1000;

// "a.vox" for n = 1, "a.2.vox" for n = 2.
std::string NumberedName(const fs::path& name, int n) {
    if (n == 1) return name.string();
    return name.stem().string() + "." + std::to_string(n) + name.extension().string();
}

// Percent-encoding of the Path key: every byte outside the unreserved set.
std::string EncodePath(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || std::string("/-_.~!*'()").find(char(c)) != std::string::npos) {
            out += char(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string DeletionDate() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

bool WriteInfo(int fd, const std::string& original) {
    const std::string text = "[Trash Info]\nPath=" + EncodePath(original) + "\nDeletionDate=" + DeletionDate() + "\n";
    bool ok = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    return ::close(fd) == 0 && ok;
}

bool MoveIntoUserTrash(const fs::path& file, std::string* where) {
    const std::string trash = OS_Trash::UserTrash();
    std::error_code error;
    if (trash.empty()) return false;
    fs::create_directories(fs::path(trash) / "files", error);
    fs::create_directories(fs::path(trash) / "info", error);
    for (int n = 1; n <= kMaxNameTries; ++n) {
        const std::string name = NumberedName(file.filename(), n);
        const fs::path info = fs::path(trash) / "info" / (name + ".trashinfo");
        const fs::path target = fs::path(trash) / "files" / name;
        int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (fs::exists(target, error) || fs::is_symlink(target, error)) {
            // A file without its record holds the name: try the next one.
            ::close(fd);
            fs::remove(info, error);
            continue;
        }
        // A rename across file systems fails (EXDEV): the fallback takes it.
        if (!WriteInfo(fd, file.string()) || ::rename(file.c_str(), target.c_str()) != 0) {
            fs::remove(info, error);
            return false;
        }
        if (where) *where = target.string();
        return true;
    }
    return false;
}

// Renames when it can, else copies and removes the original only after the
// copy is complete.
bool MoveFile(const fs::path& from, const fs::path& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    std::error_code error;
    if (!fs::copy_file(from, to, fs::copy_options::none, error)) {
        fs::remove(to, error);
        return false;
    }
    return fs::remove(from, error);
}

bool MoveIntoFolder(const fs::path& file, const fs::path& folder, std::string* where) {
    std::error_code error;
    if (folder.empty()) return false;
    fs::create_directories(folder, error);
    for (int n = 1; n <= kMaxNameTries; ++n) {
        const fs::path target = folder / NumberedName(file.filename(), n);
        if (fs::exists(target, error) || fs::is_symlink(target, error)) continue;
        if (!MoveFile(file, target)) return false;
        if (where) *where = target.string();
        return true;
    }
    return false;
}

}  // namespace

std::string OS_Trash::UserTrash() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/Trash";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.local/share/Trash";
    return std::string();
}

bool OS_Trash::MoveToTrash(const std::string& path, const std::string& fallbackFolder, std::string* where) {
    std::error_code error;
    // The record names the file as it is, without "." or ".." steps.
    const fs::path file = fs::absolute(path, error).lexically_normal();
    if (error || !fs::is_regular_file(fs::symlink_status(file, error))) return false;
    return MoveIntoUserTrash(file, where) || MoveIntoFolder(file, fallbackFolder, where);
}
