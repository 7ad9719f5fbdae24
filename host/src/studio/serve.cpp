#include "studio/serve.hpp"

#include "studio/http_server.hpp"
#include "studio/studio_host.hpp"

#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <thread>

namespace diekit::studio {

int serve(const ServeOptions &options) {
    // The termination signals are taken by one thread (sigwait), not delivered at random: blocked
    // here, before any thread starts, so that every thread inherits the mask.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    CommandQueue queue;
    HostOptions host_options;
    host_options.plugin_dir = options.plugin_dir;
    host_options.library = options.library;
    host_options.work_dir = options.work_dir;
    StudioHost host(queue, host_options);
    try {
        host.start(options.start, options.steps);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "diehost: %s\n", e.what());
        return 1;
    }

    HttpOptions http_options;
    http_options.bind = options.bind;
    http_options.port = options.port;
    http_options.token = new_token();
    http_options.page_dir = options.page_dir.empty() ? std::string(DIEKIT_STUDIO_PAGE_DIR) : options.page_dir;
    http_options.start_wait = std::chrono::milliseconds(static_cast<long long>(options.wait_seconds * 1000));
    http_options.route_limit = [&host](const std::string &route) { return host.request_limit(route); };
    HttpServer http(queue, http_options);
    try {
        http.bind();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "diehost: %s\n", e.what());
        return 1;
    }
    std::printf("diehost: studio at %s\n", http.url().c_str());
    std::fflush(stdout);

    std::thread listener([&] {
        if (!http.listen()) std::fprintf(stderr, "diehost: the server stopped listening\n");
        queue.close();
    });
    std::thread stopper([&] {
        int signal_number = 0;
        sigwait(&stop_signals, &signal_number);
        http.stop();
        queue.close();
    });
    host.run();  // the host thread: until the queue closes
    http.stop();
    listener.join();
    pthread_kill(stopper.native_handle(), SIGTERM);  // wakes the waiter if no signal came
    stopper.join();
    std::printf("diehost: studio stopped\n");
    return 0;
}

}  // namespace diekit::studio

extern "C" const diekit::studio::StudioFunctions *diekit_studio_functions() {
    static const diekit::studio::StudioFunctions functions{&diekit::studio::serve};
    return &functions;
}
