// The program's message scroll-back (see OMB_MessageLog.h).
#include "core/OMB_MessageLog.h"

#include <algorithm>

OMB_MessageLog::OMB_MessageLog(size_t capacity) : m_lines(std::max<size_t>(capacity, 1)) {}

OMB_MessageLog::~OMB_MessageLog() { Detach(); }

OMB_MessageKind OMB_MessageLog::KindOf(const std::string& line) {
    if (line.compare(0, 7, "[Error]") == 0) return OMB_MessageKind::Error;
    if (line.compare(0, 9, "[Warning]") == 0) return OMB_MessageKind::Warning;
    return OMB_MessageKind::Info;
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
    m_lines[slot].text.swap(text);
    ++m_serial;
}

void OMB_MessageLog::Clear() {
    m_first = m_count = 0;
    m_pending.clear();
    ++m_serial;
}
