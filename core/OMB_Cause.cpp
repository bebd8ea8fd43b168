// The per-thread failure reason (see OMB_Cause.h).
#include "core/OMB_Cause.h"

#include <cerrno>
#include <cstring>

namespace {

thread_local std::string t_cause;

}  // namespace

void OMB_ClearCause() { t_cause.clear(); }

void OMB_SetCause(const std::string& why) { t_cause = why; }

void OMB_SetCauseErrno(int error) {
    if (error != 0) t_cause = std::strerror(error);
}

bool OMB_HasCause() { return !t_cause.empty(); }

std::string OMB_TakeCause() {
    std::string text = t_cause.empty() ? std::string() : " : " + t_cause;
    t_cause.clear();
    return text;
}

std::string OMB_WriteFailure(int error) {
    if (error == ENOENT) return "no such folder";
    if (error == ENOTDIR) return "a part of the path is not a folder";
    return std::strerror(error);
}
