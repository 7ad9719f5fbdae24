#include "studio/command_queue.hpp"

#include <cstdio>

namespace diekit::studio {

bool Command::start() {
    std::lock_guard lock(m_mutex);
    if (m_state != State::Queued) return false;
    m_state = State::Running;
    return true;
}

void Command::reply(Reply reply) {
    {
        std::lock_guard lock(m_mutex);
        if (m_reply) return;
        m_reply = std::move(reply);
    }
    m_changed.notify_all();
}

bool Command::replied() {
    std::lock_guard lock(m_mutex);
    return m_reply.has_value();
}

Reply CommandQueue::call(Request request, std::chrono::milliseconds start_wait, std::chrono::milliseconds run_wait) {
    auto command = std::make_shared<Command>(std::move(request));
    {
        std::lock_guard lock(m_mutex);
        if (m_closed) return error_reply(503, "the server is stopping");
        m_commands.push_back(command);
    }
    m_posted.notify_one();

    std::unique_lock lock(command->m_mutex);
    auto settled = [&] { return command->m_reply || command->m_state != Command::State::Queued; };
    if (!command->m_changed.wait_for(lock, start_wait, settled)) {
        command->m_state = Command::State::Abandoned;
        lock.unlock();
        std::string busy = activity();
        return error_reply(503, "the host is busy" + (busy.empty() ? std::string() : " (" + busy + ")") +
                                    "; the request was not run, try again");
    }
    if (!command->m_changed.wait_for(lock, run_wait, [&] { return command->m_reply.has_value(); })) {
        lock.unlock();
        return error_reply(503, "the request is still running on the host after " +
                                    std::to_string(run_wait.count() / 1000) + " s; its result will show in the state");
    }
    return *command->m_reply;
}

std::shared_ptr<Command> CommandQueue::take() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_posted.wait(lock, [&] { return m_closed || !m_commands.empty(); });
        if (m_closed) return nullptr;
        auto command = m_commands.front();
        m_commands.pop_front();
        if (command->start()) return command;
    }
}

void CommandQueue::close() {
    std::deque<std::shared_ptr<Command>> left;
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        left.swap(m_commands);
    }
    m_posted.notify_all();
    for (auto &command : left) command->reply(error_reply(503, "the server is stopping"));
}

bool CommandQueue::closed() {
    std::lock_guard lock(m_mutex);
    return m_closed;
}

void CommandQueue::set_activity(const std::string &activity) {
    std::lock_guard lock(m_mutex);
    m_activity = activity;
    m_activity_since = std::chrono::steady_clock::now();
}

std::string CommandQueue::activity() {
    std::lock_guard lock(m_mutex);
    if (m_activity.empty()) return {};
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_activity_since).count();
    char text[64];
    std::snprintf(text, sizeof text, " for %.1f s", seconds);
    return m_activity + text;
}

}  // namespace diekit::studio
