// OMB_MessageLog: the scroll-back of everything the program printed, for the
// editor window's status line and console panel. It is a log sink: attached,
// it receives every line OMB_Printf writes, splits the text into lines (a
// piece without its newline waits for the rest) and keeps the newest ones,
// each with its kind read from the tag ("[Error]", "[Warning]", else info).
// The oldest line is dropped once the log holds its capacity.
//
// Beside the lines it keeps the newest line written for people, for the
// status line: what the user ran ("size 10 10 10" for the echo "cmd : size :
// 10 10 10") and what went wrong, without its tag. Machinery stays in the
// scroll-back only: the dispatch messages whose reason line came before them,
// and the platform's start-up lines (pixel format, cache copy, GL logs).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/OMB_Log.h"

enum class OMB_MessageKind { Info, Warning, Error };

struct OMB_Message {
    OMB_MessageKind kind = OMB_MessageKind::Info;
    std::string text;  // without the newline
};

class OMB_MessageLog : public OMB_LogSink {
public:
    static constexpr size_t kDefaultCapacity = 2000;

    explicit OMB_MessageLog(size_t capacity = kDefaultCapacity);
    ~OMB_MessageLog() override;
    OMB_MessageLog(const OMB_MessageLog&) = delete;
    OMB_MessageLog& operator=(const OMB_MessageLog&) = delete;

    // Starts and stops receiving OMB_Printf's output.
    void Attach() { OMB_AddLogSink(this); }
    void Detach() { OMB_RemoveLogSink(this); }

    void Write(const char* text, size_t size) override;
    // Adds one line as if it had been printed with a newline.
    void AddLine(const std::string& line);
    void Clear();

    size_t Count() const { return m_count; }
    // Line i, 0 the oldest kept; i < Count().
    const OMB_Message& Line(size_t i) const { return m_lines[(m_first + i) % m_lines.size()]; }
    const OMB_Message& Newest() const { return Line(m_count - 1); }
    // Lines ever added: a view that shows the log redraws when it moves.
    uint64_t Serial() const { return m_serial; }
    size_t Capacity() const { return m_lines.size(); }

    static OMB_MessageKind KindOf(const std::string& line);
    // The newest line for people (see above); empty text before there is one.
    const OMB_Message& Status() const { return m_status; }
    // False for machinery; else true with `shown`, the text the status line shows.
    static bool IsForPeople(const std::string& line, std::string& shown);

private:
    std::vector<OMB_Message> m_lines;  // a ring of Capacity() slots
    size_t m_first = 0;
    size_t m_count = 0;
    uint64_t m_serial = 0;
    std::string m_pending;  // the piece of a line still waiting for its newline
    OMB_Message m_status;
};
