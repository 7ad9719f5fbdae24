// The host thread's queue. HTTP handler threads post a request and wait for its reply; only the host
// thread takes requests and answers them (the object store and the plug-ins belong to it). A request
// that the host has not started within its waiting time is dropped and answered 503 (it never runs
// later); one that started is waited for until it ends (bounded too).
#pragma once

#include "studio/reply.hpp"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace diekit::studio {

struct Request {
    std::string route;  // "GET /api/state", "POST /api/dialog/value", ...
    std::string body;
};

class Command {
public:
    explicit Command(Request request) : m_request(std::move(request)) {}
    const Request &request() const { return m_request; }
    // Host thread: marks the command running; false when its sender stopped waiting.
    bool start();
    // Host thread: the answer (the first one counts; later ones are ignored).
    void reply(Reply reply);
    bool replied();

private:
    friend class CommandQueue;
    enum class State { Queued, Running, Abandoned };
    Request m_request;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    State m_state = State::Queued;
    std::optional<Reply> m_reply;
};

class CommandQueue {
public:
    // Handler threads: posts the request and waits for the reply: up to start_wait for the host to
    // take it, then up to run_wait for it to finish. Answers 503 naming what the host is busy with
    // when either runs out, and when the queue is closed.
    Reply call(Request request, std::chrono::milliseconds start_wait, std::chrono::milliseconds run_wait);

    // Host thread: the next command that is still wanted, marked running; nullptr once closed.
    std::shared_ptr<Command> take();
    // Ends take() and answers every queued command 503 (the server is stopping). Idempotent.
    void close();
    bool closed();

    // What the host is doing, for the 503 answers ("flatinsert: apply"); empty when idle.
    void set_activity(const std::string &activity);

private:
    std::string activity();
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::shared_ptr<Command>> m_commands;
    bool m_closed = false;
    std::string m_activity;
    std::chrono::steady_clock::time_point m_activity_since;
};

}  // namespace diekit::studio
