#include "studio/http_server.hpp"

#include <httplib.h>

#include <sys/random.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace diekit::studio {

namespace fs = std::filesystem;

namespace {

constexpr const char *kTokenHeader = "X-Diekit-Token";
constexpr const char *kCookie = "diekit_token";
constexpr std::uintmax_t kLargestFile = 32u << 20;

// The API: which requests exist. Anything else under /api/ is 404, a wrong method 405.
const std::map<std::string, const char *> kEndpoints = {
    {"/api/state", "GET"},          {"/api/mesh", "GET"},
    {"/api/check", "GET"},          {"/api/check/mesh", "GET"},
    {"/api/download/step", "GET"},  {"/api/download/svg", "GET"},
    {"/api/download/bom", "GET"},   {"/api/download/report", "GET"},
    {"/api/download/session", "GET"},
    {"/api/dialog/open", "POST"},   {"/api/dialog/value", "POST"},
    {"/api/dialog/press", "POST"},  {"/api/rename", "POST"},
    {"/api/show", "POST"},          {"/api/undo", "POST"},
    {"/api/redo", "POST"},          {"/api/open/step", "POST"},
    {"/api/open/session", "POST"},
};

const char *status_text(int status) {
    switch (status) {
    case 400: return "the request is malformed";
    case 403: return "forbidden";
    case 404: return "not found";
    case 405: return "method not allowed";
    case 411: return "a request body needs a Content-Length";
    case 413: return "the request body is larger than the limit";
    case 414: return "the request line is too long";
    case 431: return "the request headers are too large";
    default: return status >= 500 ? "the server failed" : "the request was refused";
    }
}

void send_json_error(httplib::Response &res, int status, const std::string &text) {
    Reply reply = error_reply(status, text);
    res.status = status;
    res.set_content(reply.body, "application/json");
}

const char *mime_type(const fs::path &path) {
    static const std::map<std::string, const char *> kTypes = {
        {".html", "text/html; charset=utf-8"}, {".js", "text/javascript; charset=utf-8"},
        {".mjs", "text/javascript; charset=utf-8"}, {".css", "text/css; charset=utf-8"},
        {".json", "application/json"}, {".svg", "image/svg+xml"}, {".png", "image/png"},
        {".jpg", "image/jpeg"}, {".ico", "image/x-icon"}, {".glb", "model/gltf-binary"},
        {".txt", "text/plain; charset=utf-8"}, {".map", "application/json"}};
    auto it = kTypes.find(path.extension().string());
    return it == kTypes.end() ? "application/octet-stream" : it->second;
}

// Constant-time comparison: how much of a token matched must not show in the answer's timing.
bool same_token(const std::string &given, const std::string &token) {
    if (given.size() != token.size()) return false;
    unsigned char diff = 0;
    for (std::size_t i = 0; i < token.size(); ++i) diff |= static_cast<unsigned char>(given[i] ^ token[i]);
    return diff == 0;
}

std::string cookie_token(const httplib::Request &req) {
    std::string cookies = req.get_header_value("Cookie");
    std::string key = std::string(kCookie) + "=";
    for (std::size_t at = 0; at < cookies.size();) {
        std::size_t end = cookies.find(';', at);
        if (end == std::string::npos) end = cookies.size();
        std::string part = cookies.substr(at, end - at);
        part.erase(0, part.find_first_not_of(' '));
        if (part.rfind(key, 0) == 0) return part.substr(key.size());
        at = end + 1;
    }
    return {};
}

// An IPv6 address as a URL writes it.
std::string bracketed(const std::string &address) {
    std::string text = "[";
    text += address;
    text += ']';
    return text;
}

}  // namespace

std::string new_token() {
    unsigned char bytes[32];
    std::size_t filled = 0;
    while (filled < sizeof bytes) {
        ssize_t n = getrandom(bytes + filled, sizeof bytes - filled, 0);
        if (n <= 0) throw std::runtime_error("no random bytes for the token");
        filled += static_cast<std::size_t>(n);
    }
    static const char *kHex = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes) {
        token.push_back(kHex[b >> 4]);
        token.push_back(kHex[b & 15]);
    }
    return token;
}

struct HttpServer::Impl {
    CommandQueue &queue;
    HttpOptions options;
    httplib::Server server;
    int port = 0;

    Impl(CommandQueue &q, HttpOptions o) : queue(q), options(std::move(o)) {}

    std::string authority() const {
        std::string host = options.bind == "0.0.0.0" || options.bind == "::" ? "127.0.0.1" : options.bind;
        if (host.find(':') != std::string::npos) host = bracketed(host);
        return host + ":" + std::to_string(port);
    }

    // A page on another site that resolves its own name to this address (DNS rebinding) sends its
    // own name as Host: only this server's address and localhost are answered.
    bool host_allowed(const httplib::Request &req) const {
        std::string host = req.get_header_value("Host");
        std::string suffix = std::to_string(port);
        suffix.insert(suffix.begin(), ':');
        if (host.size() <= suffix.size() || host.compare(host.size() - suffix.size(), suffix.size(), suffix) != 0)
            return false;
        std::string name = host.substr(0, host.size() - suffix.size());
        if (name == "127.0.0.1" || name == "localhost" || name == "[::1]") return true;
        if (name == options.bind || name == bracketed(options.bind)) return true;
        // Bound to every address: any address literal of this machine, no other names.
        if (options.bind == "0.0.0.0" || options.bind == "::")
            return name.find_first_not_of("0123456789.") == std::string::npos || (name.front() == '[' && name.back() == ']');
        return false;
    }

    // Why the request is refused before it is routed, or nullopt to let it through.
    std::optional<std::pair<int, std::string>> refusal(const httplib::Request &req) const {
        if (!host_allowed(req)) return {{403, "Host '" + req.get_header_value("Host") + "' is not this server"}};
        if (req.has_header("Origin") && req.get_header_value("Origin") != "http://" + req.get_header_value("Host"))
            return {{403, "requests from other origins are not answered"}};
        const bool api = req.path.rfind("/api/", 0) == 0;
        bool ok = false;
        if (api) {
            // POST needs the header (a page elsewhere cannot set it); GET may use the cookie, which
            // the browser sends only from this server's own pages (SameSite=Strict).
            ok = same_token(req.get_header_value(kTokenHeader), options.token) ||
                 (req.method == "GET" && same_token(cookie_token(req), options.token));
        } else {
            ok = same_token(req.get_param_value("token"), options.token) ||
                 same_token(cookie_token(req), options.token);
        }
        if (!ok)
            return {{403, api ? "missing or wrong token (header X-Diekit-Token)"
                              : "missing or wrong token: open the address diehost serve printed"}};
        // A body over the limit is refused before it is read (the rest of it is never waited for). A
        // body must state its length: a chunked one could only be measured by reading it.
        if (req.has_header("Transfer-Encoding"))
            return {{411, "a request body needs a Content-Length (no Transfer-Encoding)"}};
        const std::size_t limit = options.route_limit ? options.route_limit(req.method + " " + req.path)
                                                      : options.body_limit;
        const std::string length = req.get_header_value("Content-Length");
        if (length.size() > 18 || length.find_first_not_of("0123456789") != std::string::npos ||
            (!length.empty() && std::stoull(length) > limit))
            return {{413, "the body of " + req.path + " is larger than " + std::to_string(limit) + " bytes"}};
        return std::nullopt;
    }

    // The connection is closed after a refusal: a body left unread must not be taken for the next request.
    httplib::Server::HandlerResponse guard(const httplib::Request &req, httplib::Response &res) const {
        auto refused = refusal(req);
        if (!refused) return httplib::Server::HandlerResponse::Unhandled;
        send_json_error(res, refused->first, refused->second);
        res.set_header("Connection", "close");
        return httplib::Server::HandlerResponse::Handled;
    }

    void api(const httplib::Request &req, httplib::Response &res) {
        auto it = kEndpoints.find(req.path);
        if (it == kEndpoints.end()) return send_json_error(res, 404, "no endpoint " + req.path);
        if (req.method != it->second)
            return send_json_error(res, 405, req.path + " takes " + it->second + ", not " + req.method);
        const std::string route = req.method + " " + req.path;
        if (options.route_limit && req.body.size() > options.route_limit(route))
            return send_json_error(res, 413, "the body of " + req.path + " is larger than " +
                                                 std::to_string(options.route_limit(route)) + " bytes");
        Reply reply = queue.call({route, req.body}, options.start_wait, options.run_wait);
        res.status = reply.status;
        if (!reply.filename.empty())
            res.set_header("Content-Disposition", "attachment; filename=\"" + reply.filename + "\"");
        res.set_content(std::move(reply.body), reply.type.c_str());
    }

    // A file below root; names that leave it (.., links out of it) are not found.
    void file(const std::string &root, const std::string &relative, httplib::Response &res) {
        std::error_code error;
        fs::path base = fs::canonical(root, error);
        if (error || relative.find('\0') != std::string::npos)
            return send_json_error(res, 404, "no file '" + relative + "'");
        fs::path path = fs::weakly_canonical(base / relative, error);
        auto [end, ignored] = std::mismatch(base.begin(), base.end(), path.begin(), path.end());
        if (error || end != base.end() || !fs::is_regular_file(path, error))
            return send_json_error(res, 404, "no file '" + relative + "'");
        if (fs::file_size(path, error) > kLargestFile) return send_json_error(res, 404, "no file '" + relative + "'");
        std::ifstream in(path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        res.set_content(bytes.str(), mime_type(path));
    }

    void routes() {
        server.set_pre_routing_handler([this](const auto &req, auto &res) { return guard(req, res); });
        server.Get("/", [this](const httplib::Request &req, httplib::Response &res) {
            if (same_token(req.get_param_value("token"), options.token))
                res.set_header("Set-Cookie", std::string(kCookie) + "=" + options.token +
                                                 "; Path=/; HttpOnly; SameSite=Strict");
            file(options.page_dir, "index.html", res);
        });
        server.Get(R"(/studio/(.*))", [this](const auto &req, auto &res) { file(options.page_dir, req.matches[1], res); });
        server.Get(R"(/three/(.*))", [this](const auto &req, auto &res) { file(options.three_dir, req.matches[1], res); });
        server.Get(R"(/api/.*)", [this](const auto &req, auto &res) { api(req, res); });
        server.Post(R"(/api/.*)", [this](const httplib::Request &req, httplib::Response &res) { api(req, res); });
        // Other methods reach api() too, so that they are told 405 and which method the endpoint takes.
        server.Put(R"(/api/.*)", [this](const httplib::Request &req, httplib::Response &res) { api(req, res); });
        server.Patch(R"(/api/.*)", [this](const httplib::Request &req, httplib::Response &res) { api(req, res); });
        server.Delete(R"(/api/.*)", [this](const httplib::Request &req, httplib::Response &res) { api(req, res); });
        server.Options(R"(/api/.*)", [this](const httplib::Request &req, httplib::Response &res) { api(req, res); });
        server.set_error_handler(httplib::Server::HandlerWithResponse(
            [](const httplib::Request &, httplib::Response &res) {
                if (res.body.empty()) send_json_error(res, res.status, status_text(res.status));
                return httplib::Server::HandlerResponse::Handled;
            }));
        server.set_exception_handler([](const httplib::Request &, httplib::Response &res, std::exception_ptr error) {
            std::string text = "the server failed";
            try {
                if (error) std::rethrow_exception(error);
            } catch (const std::exception &e) {
                text += std::string(": ") + e.what();
            } catch (...) {
            }
            send_json_error(res, 500, text);
        });
        server.set_default_headers({{"Cache-Control", "no-store"},
                                    {"X-Content-Type-Options", "nosniff"},
                                    {"X-Frame-Options", "DENY"},
                                    {"Referrer-Policy", "no-referrer"},
                                    {"Content-Security-Policy",
                                     "default-src 'self'; img-src 'self' data: blob:; style-src 'self' "
                                     "'unsafe-inline'; connect-src 'self'; frame-ancestors 'none'"}});
        server.set_payload_max_length(options.body_limit);
        server.set_read_timeout(10, 0);
        server.set_write_timeout(30, 0);
        server.set_keep_alive_timeout(5);
        server.set_tcp_nodelay(true);  // small JSON answers go out at once, not after a delayed ACK
        server.new_task_queue = [] { return new httplib::ThreadPool(16); };
    }
};

HttpServer::HttpServer(CommandQueue &queue, HttpOptions options)
    : m_impl(std::make_unique<Impl>(queue, std::move(options))) {
    m_impl->routes();
}

HttpServer::~HttpServer() = default;

int HttpServer::bind() {
    auto &o = m_impl->options;
    if (o.port == 0) m_impl->port = m_impl->server.bind_to_any_port(o.bind);
    else if (m_impl->server.bind_to_port(o.bind, o.port)) m_impl->port = o.port;
    else m_impl->port = -1;
    if (m_impl->port <= 0)
        throw std::runtime_error("cannot listen on " + o.bind + ":" + std::to_string(o.port));
    return m_impl->port;
}

bool HttpServer::listen() { return m_impl->server.listen_after_bind(); }

void HttpServer::stop() { m_impl->server.stop(); }

std::string HttpServer::url() const { return "http://" + m_impl->authority() + "/?token=" + m_impl->options.token; }

}  // namespace diekit::studio
