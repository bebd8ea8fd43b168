// The program's message scroll-back (see OMB_MessageLog.h).
#include "core/OMB_MessageLog.h"

#include <algorithm>
#include <string>

OMB_MessageLog::OMB_MessageLog(size_t capacity) : m_lines(std::max<size_t>(capacity, 1)) {}

OMB_MessageLog::~OMB_MessageLog() { Detach(); }

OMB_MessageKind OMB_MessageLog::KindOf(const std::string& line) {
    if (line.compare(0, 7, "[Error]") == 0) return OMB_MessageKind::Error;
    if (line.compare(0, 9, "[Warning]") == 0) return OMB_MessageKind::Warning;
    return OMB_MessageKind::Info;
}

namespace {

bool StartsWith(const std::string& line, const char* prefix) {
    return line.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// Lines the program prints for scripts, logs and developers.
constexpr const char* kMachinery[] = {
    "[Error] cmd failed : ", "[Error] cmd failed to parse parms: ", "[Error] cmd is not registered : ",
    "pixelFormat : ", "Cache Model", "==== [GL:", "< shader info log >", "< program info log >", "depth : ",
};

}  // namespace

bool OMB_MessageLog::IsForPeople(const std::string& line, std::string& shown) {
    for (const char* prefix : kMachinery)
        if (StartsWith(line, prefix)) return false;
    if (line.empty()) return false;
    if (StartsWith(line, "cmd : ")) {
        // "cmd : NAME : ARGS" is the line as typed.
        const size_t split = line.find(" : ", 6);
        shown = line.substr(6, split == std::string::npos ? std::string::npos : split - 6);
        if (split != std::string::npos && split + 3 < line.size()) shown += " " + line.substr(split + 3);
        return true;
    }
    for (const char* tag : {"[Error] ", "[Warning] "})
        if (StartsWith(line, tag)) {
            shown = line.substr(std::char_traits<char>::length(tag));
            return true;
        }
    shown = line;
    return true;
}

void OMB_MessageLog::Write(const char* text, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (text[i] != '\n') {
            m_pending.push_back(text[i]);
            continue;
        }
        AddLine(m_pending);
        m_pending.clear();
    }
}

void OMB_MessageLog::AddLine(const std::string& line) {
    std::string text = line;
    // A carriage return or tab would show as a box in the toolkit's font.
    for (char& c : text)
        if (c == '\t' || c == '\r') c = ' ';
    size_t slot = (m_first + m_count) % m_lines.size();
    if (m_count == m_lines.size()) {
        slot = m_first;
        m_first = (m_first + 1) % m_lines.size();
    } else {
        ++m_count;
    }
    m_lines[slot].kind = KindOf(text);
    std::string shown;
    if (IsForPeople(text, shown)) {
        m_status.kind = m_lines[slot].kind;
        m_status.text.swap(shown);
    }
    m_lines[slot].text.swap(text);
    ++m_serial;
}

void OMB_MessageLog::Clear() {
    m_first = m_count = 0;
    m_pending.clear();
    m_status = OMB_Message();
    ++m_serial;
}
