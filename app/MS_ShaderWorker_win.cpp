// The voxel shader worker's process and channel on Windows (see
// MS_ShaderWorker.h). The child is the windowed tarsk.exe, started with
// CreateProcessW; the two talk over a named pipe whose parent end is
// overlapped, so that every wait of the parent is a WaitForMultipleObjects
// with a timeout (an anonymous pipe has no bounded read or write). The
// child's end is inherited and its handle value given on the command line.
// TerminateProcess plays SIGKILL, and a job object that kills its processes
// when its last handle closes plays PR_SET_PDEATHSIG: a parent that dies,
// or ends itself at a console's Ctrl+C, takes its worker with it.
//
// The parent's pending reads and writes use buffers of the Child, never the
// caller's, so a child stopped in the middle of a job leaves no I/O aimed
// at memory that is gone.
#include "app/MS_ShaderWorker.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "app/MS_ShaderWorkerProtocol.h"
#include "core/OS_Signals.h"
#include "core/OS_Stopwatch.h"
#include "core/OS_WinText.h"

namespace {

// The most one read or write moves, and the pipe's buffers.
constexpr DWORD kChunk = 1 << 16;
// How long a killed worker gets to be gone, and its cancelled I/O to end.
constexpr DWORD kEndMs = 5000;

// A kernel handle, closed with its owner.
class WinHandle {
public:
    WinHandle() = default;
    explicit WinHandle(HANDLE h) : m_h(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~WinHandle() { Reset(); }
    WinHandle(const WinHandle&) = delete;
    WinHandle& operator=(const WinHandle&) = delete;
    HANDLE Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    void Reset(HANDLE h = nullptr) {
        if (m_h) CloseHandle(m_h);
        m_h = h == INVALID_HANDLE_VALUE ? nullptr : h;
    }

private:
    HANDLE m_h = nullptr;
};

// One direction of the parent's end: an overlapped operation and its buffer.
struct Transfer {
    WinHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    OVERLAPPED overlapped{};
    char buffer[kChunk];
    bool pending = false;
};

// All workers of this process belong to one job, never closed: the system
// closes it when the process ends, however it ends, and the job then kills
// them. Null when the system refuses one (the worker then only ends when
// its pipe breaks between jobs).
HANDLE WorkerJob() {
    static const HANDLE job = [] {
        HANDLE j = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
        info.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (j && !SetInformationJobObject(j, JobObjectExtendedLimitInformation, &info, sizeof info)) {
            CloseHandle(j);
            j = nullptr;
        }
        return j;
    }();
    return job;
}

// An inheritable copy of one of the parent's standard handles for the child,
// or null where the child should find its own: a console (the windowed child
// attaches to its parent's, OS_UseParentConsole) or nothing at all.
HANDLE StandardHandleForChild(DWORD which) {
    const HANDLE h = GetStdHandle(which);
    if (!h || h == INVALID_HANDLE_VALUE || GetFileType(h) == FILE_TYPE_CHAR) return nullptr;
    HANDLE copy = nullptr;
    const HANDLE self = GetCurrentProcess();
    return DuplicateHandle(self, h, self, &copy, 0, TRUE, DUPLICATE_SAME_ACCESS) ? copy : nullptr;
}

// The program as configured ("…/tarsk") names the windowed executable.
std::wstring ExecutablePath(const std::string& program) {
    const size_t name = program.find_last_of("/\\");
    const bool hasExtension = program.find('.', name == std::string::npos ? 0 : name + 1) != std::string::npos;
    return OS_WidePath(hasExtension ? program : program + ".exe");
}

bool ReadAll(HANDLE pipe, void* data, size_t bytes) {
    auto* p = static_cast<char*>(data);
    while (bytes > 0) {
        DWORD got = 0;
        if (!ReadFile(pipe, p, DWORD(std::min<size_t>(bytes, kChunk)), &got, nullptr)) return false;
        p += got;
        bytes -= got;
    }
    return true;
}

bool WriteAll(HANDLE pipe, const void* data, size_t bytes) {
    auto* p = static_cast<const char*>(data);
    while (bytes > 0) {
        DWORD put = 0;
        if (!WriteFile(pipe, p, DWORD(std::min<size_t>(bytes, kChunk)), &put, nullptr) || put == 0) return false;
        p += put;
        bytes -= put;
    }
    return true;
}

}  // namespace

struct MS_ShaderWorker::Child {
    WinHandle process;
    WinHandle pipe;  // the parent's end, overlapped
    Transfer reading, writing;

    // Starts an operation on `t` (`bytes` of its buffer); false when the
    // pipe is broken.
    bool Begin(Transfer& t, bool write, DWORD bytes) {
        t.overlapped = OVERLAPPED{};
        t.overlapped.hEvent = t.done.Get();
        const BOOL ok = write ? WriteFile(pipe.Get(), t.buffer, bytes, nullptr, &t.overlapped)
                              : ReadFile(pipe.Get(), t.buffer, bytes, nullptr, &t.overlapped);
        if (!ok && GetLastError() != ERROR_IO_PENDING) return false;
        t.pending = true;
        return true;
    }
    // The bytes `t` has moved once it has ended, 0 while it runs, -1 when
    // it failed.
    long Finish(Transfer& t) {
        DWORD moved = 0;
        if (GetOverlappedResult(pipe.Get(), &t.overlapped, &moved, FALSE)) {
            t.pending = false;
            return long(moved);
        }
        if (GetLastError() == ERROR_IO_INCOMPLETE) return 0;
        t.pending = false;
        return -1;
    }

    ~Child() {
        if (process) {
            TerminateProcess(process.Get(), 1);
            WaitForSingleObject(process.Get(), kEndMs);
        }
        // The buffers must outlive the operations aimed at them.
        for (Transfer* t : {&reading, &writing}) {
            if (!t->pending) continue;
            CancelIoEx(pipe.Get(), &t->overlapped);
            WaitForSingleObject(t->done.Get(), kEndMs);
        }
    }
};

// ---------------------------------------------------------------- the child

bool MS_IsShaderWorkerCall(int argc, char** argv, intptr_t& channel) {
    if (argc != 3 || std::strcmp(argv[1], "--shader-worker") != 0) return false;
    char* end = nullptr;
    channel = intptr_t(std::strtoull(argv[2], &end, 10));
    return *end == '\0' && channel > 0;
}

int MS_RunShaderWorker(intptr_t channel) {
    const HANDLE pipe = reinterpret_cast<HANDLE>(channel);
    if (GetFileType(pipe) != FILE_TYPE_PIPE) return 1;
    return MS_ServeShaderJobs({[pipe](void* data, size_t bytes) { return ReadAll(pipe, data, bytes); },
                               [pipe](const void* data, size_t bytes) { return WriteAll(pipe, data, bytes); }});
}

// ---------------------------------------------------------------- the parent

MS_ShaderWorker::MS_ShaderWorker(std::string program, double limitSeconds)
    : m_program(std::move(program)), m_limit(limitSeconds) {}

MS_ShaderWorker::~MS_ShaderWorker() = default;

bool MS_ShaderWorker::Start() {
    auto child = std::make_unique<Child>();
    static std::atomic<unsigned> serial{0};
    wchar_t name[80];
    std::swprintf(name, 80, L"\\\\.\\pipe\\tarsk-shader-%lu-%u", GetCurrentProcessId(), serial++);
    child->pipe.Reset(CreateNamedPipeW(name, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                       PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                                       kChunk, kChunk, 0, nullptr));
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    WinHandle childEnd(child->pipe ? CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING,
                                                 0, nullptr)
                                   : nullptr);
    if (!childEnd || !child->reading.done || !child->writing.done) return false;

    const std::wstring program = ExecutablePath(m_program);
    std::wstring line = L"\"" + program + L"\" --shader-worker " + std::to_wstring(uintptr_t(childEnd.Get()));
    WinHandle out(StandardHandleForChild(STD_OUTPUT_HANDLE)), err(StandardHandleForChild(STD_ERROR_HANDLE));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (out || err) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out.Get();
        startup.hStdError = err.Get();
    }
    PROCESS_INFORMATION info{};
    // Suspended until it is in the job: a parent that dies in between
    // must not leave it behind.
    if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &info))
        return false;
    child->process.Reset(info.hProcess);
    WinHandle thread(info.hThread);
    if (HANDLE job = WorkerJob()) AssignProcessToJobObject(job, info.hProcess);
    ResumeThread(info.hThread);
    // Only the child may hold its end: a worker that dies must break the pipe.
    childEnd.Reset();
    m_child = std::move(child);
    uint8_t ready = 0;
    if (Exchange(std::string(), &ready, 1, OS_Seconds() + kShaderWorkerStartLimit) == Wait::Done && ready == 1)
        return true;
    Stop();
    return false;
}

void MS_ShaderWorker::Stop() { m_child.reset(); }

MS_ShaderWorker::Wait MS_ShaderWorker::Exchange(const std::string& out, uint8_t* in, size_t inBytes,
                                                double deadline) {
    Child& c = *m_child;
    size_t sent = 0, got = 0, writing = 0, reading = 0;
    double hooked = OS_Seconds();
    while (sent < out.size() || got < inBytes) {
        // The console's Ctrl+C, Ctrl+Break and close arrive on a thread of
        // their own and are only recorded: nothing to wait on, so the turn's
        // short bound is what notices them.
        int waitMs = 0;
        const Wait turn = Turn(hooked, deadline, waitMs);
        if (turn != Wait::Done) return turn;
        if (!c.writing.pending && sent < out.size()) {
            writing = std::min<size_t>(out.size() - sent, kChunk);
            std::memcpy(c.writing.buffer, out.data() + sent, writing);
            if (!c.Begin(c.writing, true, DWORD(writing))) return Wait::Broken;
        }
        if (!c.reading.pending && got < inBytes) {
            reading = std::min<size_t>(inBytes - got, kChunk);
            if (!c.Begin(c.reading, false, DWORD(reading))) return Wait::Broken;
        }
        HANDLE events[2];
        DWORD count = 0;
        if (c.writing.pending) events[count++] = c.writing.done.Get();
        if (c.reading.pending) events[count++] = c.reading.done.Get();
        if (WaitForMultipleObjects(count, events, FALSE, DWORD(waitMs)) == WAIT_FAILED) return Wait::Broken;
        if (c.writing.pending) {
            const long put = c.Finish(c.writing);
            if (put < 0) return Wait::Broken;
            if (!c.writing.pending) sent += size_t(put);
        }
        if (c.reading.pending) {
            const long r = c.Finish(c.reading);
            if (r < 0) return Wait::Broken;
            if (!c.reading.pending) {
                std::memcpy(in + got, c.reading.buffer, size_t(r));
                got += size_t(r);
            }
        }
    }
    return Wait::Done;
}
