// The studio's HTTP side (cpp-httplib): the page's static files, three.js from the system, and the
// API, every request guarded by the token. Handler threads never touch the work part: each API
// request is posted to the host thread's queue and its reply awaited.
#pragma once

#include "studio/command_queue.hpp"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace diekit::studio {

struct HttpOptions {
    std::string bind = "127.0.0.1";
    int port = 0;                      // 0: any free port
    std::string token;                 // required on every request
    std::string page_dir;              // the page's files (index.html, ...)
    std::string three_dir = "/usr/share/javascript/three";
    std::chrono::milliseconds start_wait{30000};  // how long a request waits for its turn
    std::chrono::milliseconds run_wait{900000};   // and then for its reply
    std::size_t body_limit = 50u << 20;           // largest request body of all
    std::function<std::size_t(const std::string &route)> route_limit;  // largest body per route
};

class HttpServer {
public:
    HttpServer(CommandQueue &queue, HttpOptions options);
    ~HttpServer();
    // Binds the address and port; returns the port. Throws std::runtime_error naming the address.
    int bind();
    // Serves until stop(); returns false when the server could not run.
    bool listen();
    void stop();
    // http://ADDRESS:PORT/?token=TOKEN
    std::string url() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// A new random token: 32 bytes from the system's random source, as 64 hex digits.
std::string new_token();

}  // namespace diekit::studio
