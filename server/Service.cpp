#include "Service.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace lumora::service
{

namespace
{

using Clock = std::chrono::steady_clock;

// What a handler found out about its request, read by the logger on the same thread afterwards.
struct RequestNote {
    bool started = false;
    Clock::time_point start;
    std::string action;
    std::string account;
    std::string outcome;
    bool quiet = false;
};
thread_local RequestNote tNote;

void Begin()
{
    tNote = RequestNote{};
    tNote.started = true;
    tNote.start = Clock::now();
}

std::string GenericFailureReply()
{
    return XmlReply(false).text();
}

const char *const kXmlType = "text/xml; charset=GBK";

// Log fields are free text from the request; keep each on one line.
std::string OneLine(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        out += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
    return out.empty() ? "-" : out;
}

std::string RefusalLine(const RefusalReport &report)
{
    if (report.queueFull)
        return "sign-in checks refused, hashing queue full: " + std::to_string(report.attempts);
    return "sign-in throttled account=" + OneLine(report.account) + " address=" + OneLine(report.address) +
           " attempts=" + std::to_string(report.attempts);
}

} // namespace

Service::Service(Storage &storage, ServiceOptions options, size_t threads, LogSink log)
    : storage_(storage), log_(std::move(log)),
      accounts_(storage, options.passwordCost, options.signIn,
                [this](const RefusalReport &report) { this->log(RefusalLine(report)); }),
      routes_(storage, accounts_, std::move(options)), registration_(accounts_),
      server_(std::make_unique<httplib::Server>())
{
    if (threads == 0)
        threads = std::max(8u, std::thread::hardware_concurrency() * 4);
    // Requests waiting for a hashing thread must not take the pool from everyone else.
    threads += accounts_.hashingSlots();
    server_->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    install();
}

Service::~Service()
{
    stop();
}

void Service::log(const std::string &line)
{
    if (log_) {
        log_(line);
        return;
    }
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fprintf(stderr, "%s\n", line.c_str());
}

void Service::install()
{
    httplib::Server &server = *server_;
    server.set_payload_max_length(kMaxBodyBytes);
    server.set_keep_alive_max_count(1000);
    server.set_tcp_nodelay(true); // small replies must not wait for the peer's delayed ACK
    server.set_read_timeout(20, 0);
    server.set_write_timeout(20, 0);

    // Whatever goes wrong inside a handler stays on the server: the client gets the same refusal as for any
    // other failure, never the exception's text.
    server.set_exception_handler([this](const httplib::Request &, httplib::Response &res, std::exception_ptr ep) {
        std::string what = "unknown exception";
        try {
            if (ep)
                std::rethrow_exception(ep);
        } catch (const std::exception &e) {
            what = e.what();
        } catch (...) {
        }
        tNote.outcome = "failed: " + what;
        res.headers.clear();
        res.status = 200;
        res.set_content(GenericFailureReply(), kXmlType);
    });

    server.set_logger([this](const httplib::Request &req, const httplib::Response &res) {
        if (tNote.quiet) {
            tNote = RequestNote{};
            return;
        }
        std::string ms = "-";
        if (tNote.started) {
            const auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - tNote.start).count();
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.1f", elapsed);
            ms = buffer;
        }
        std::string script = req.path;
        if (script.rfind(kBasePath, 0) == 0)
            script = script.substr(std::char_traits<char>::length(kBasePath));
        std::string outcome = tNote.outcome;
        if (outcome.empty())
            outcome = res.status == 200 ? "ok" : "status " + std::to_string(res.status);
        log(OneLine(script) + " action=" + OneLine(tNote.action) + " account=" + OneLine(tNote.account) + " " +
            outcome + " " + ms + " ms");
        tNote = RequestNote{};
    });

    const std::string base = kBasePath;
    server.Get(base + "new_user\\.php", [this](const httplib::Request &, httplib::Response &res) {
        Begin();
        res.set_content(registration_.form(), "text/html; charset=utf-8");
    });
    // Bodies are read through a content reader: httplib's own reading refuses every form body over 8 KB (a limit
    // built into the library), far below kMaxBodyBytes, so long names or category lists could never be saved.
    // A body over kMaxBodyBytes still ends in 413.
    auto readBody = [](const httplib::ContentReader &content, httplib::Response &res, std::string &body) {
        const bool read = content([&body](const char *data, size_t length) {
            body.append(data, length);
            return true;
        });
        if (!read && (res.status < 400 || res.status >= 600))
            res.status = 400;
        return read;
    };
    server.Post(base + "new_user\\.php", [this, readBody](const httplib::Request &, httplib::Response &res,
                                                          const httplib::ContentReader &content) {
        Begin();
        tNote.action = "register";
        std::string body;
        if (!readBody(content, res, body))
            return;
        res.set_content(registration_.submit(body, tNote.account, tNote.outcome), "text/html; charset=utf-8");
    });
    server.Post(base + "([^/]+)", [this, readBody](const httplib::Request &req, httplib::Response &res,
                                                   const httplib::ContentReader &content) {
        Begin();
        std::string body;
        if (!readBody(content, res, body))
            return;
        RouteResult result = routes_.post(req.matches[1].str(), body, req.remote_addr);
        tNote.action = result.action;
        tNote.account = result.account;
        tNote.outcome = result.outcome;
        tNote.quiet = result.quiet;
        if (!result.denied) {
            res.set_content(result.body, kXmlType);
            return;
        }
        // A refused client goes to the back of the line for a request thread instead of keeping one, whether it
        // heeds the header or not: the provider writes the whole reply, then ends the connection.
        res.set_header("Connection", "close");
        auto reply = std::make_shared<std::string>(std::move(result.body));
        res.set_content_provider(reply->size(), kXmlType, [reply](size_t, size_t, httplib::DataSink &sink) {
            sink.write(reply->data(), reply->size());
            return false;
        });
    });
    // The scripts take POST only; anything else under the base is a client error, not a refusal.
    server.Get(base + "([^/]+)", [](const httplib::Request &req, httplib::Response &res) {
        Begin();
        res.status = Routes::IsKnownScript(req.matches[1].str()) ? 405 : 404;
        if (res.status == 405)
            res.set_header("Allow", "POST");
    });
}

int Service::bind(const std::string &host, int port)
{
    if (!server_->is_valid())
        return -1;
    if (port == 0)
        return server_->bind_to_any_port(host);
    return server_->bind_to_port(host, port) ? port : -1;
}

bool Service::run()
{
    runCalled_ = true;
    if (stopRequested_) {
        runEnded_ = true;
        return true;
    }
    const bool ok = server_->listen_after_bind();
    runEnded_ = true;
    return ok;
}

void Service::stop()
{
    stopRequested_ = true;
    // httplib's stop() only reaches a server that is already listening, so wait for run() to get there.
    while (runCalled_ && !runEnded_ && !server_->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    server_->stop();
}

} // namespace lumora::service
