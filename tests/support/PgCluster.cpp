#include "PgCluster.h"

#include <libpq-fe.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <pwd.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace lumora::testing
{

namespace
{

// The newest installed server, unless LUMORA_PG_BIN names the folder of its binaries.
std::string ServerBinaries()
{
    if (const char *chosen = std::getenv("LUMORA_PG_BIN"))
        return chosen;
    std::string best;
    int bestVersion = -1;
    std::error_code ignored;
    for (const auto &entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ignored)) {
        const int version = std::atoi(entry.path().filename().c_str());
        if (version > bestVersion && std::filesystem::exists(entry.path() / "bin" / "initdb")) {
            bestVersion = version;
            best = (entry.path() / "bin").string();
        }
    }
    return best;
}

int FreeLoopbackPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

// As root the tools run as the postgres user; otherwise as ourselves.
std::vector<std::string> AsServerUser(std::vector<std::string> command)
{
    if (geteuid() != 0)
        return command;
    std::vector<std::string> wrapped{"runuser", "-u", "postgres", "--"};
    wrapped.insert(wrapped.end(), command.begin(), command.end());
    return wrapped;
}

pid_t Spawn(const std::vector<std::string> &command, int stdinFd, const std::string &outputFile, bool ownGroup)
{
    std::vector<std::string> args = command;
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (ownGroup) {
        // Out of the test's process group, so whatever ends the test does not end the cleanup with it.
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return pid;
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

void AdminStatement(const std::string &uri, const std::string &sql)
{
    PGconn *conn = PQconnectdb(uri.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        const std::string message = Trimmed(PQerrorMessage(conn));
        PQfinish(conn);
        throw std::runtime_error("cannot reach the test cluster: " + message);
    }
    PGresult *result = PQexec(conn, sql.c_str());
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    const std::string message = ok ? std::string() : Trimmed(PQresultErrorMessage(result));
    PQclear(result);
    PQfinish(conn);
    if (!ok)
        throw std::runtime_error(sql + ": " + message);
}

} // namespace

PgCluster::PgCluster()
{
    const std::string binaries = ServerBinaries();
    if (binaries.empty()) {
        error_ = "no PostgreSQL server binaries under /usr/lib/postgresql (the postgresql package)";
        return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "lumora-pg-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        error_ = "no temporary folder";
        return;
    }
    dir_ = pattern;
    data_ = dir_ + "/data";
    log_ = dir_ + "/server.log";
    if (geteuid() == 0) {
        const passwd *user = getpwnam("postgres");
        if (!user || chown(dir_.c_str(), user->pw_uid, user->pw_gid) != 0) {
            error_ = "running as root, but there is no postgres user to run the server as";
            return;
        }
    }

    // The watchdog waits for this end of the pipe to close, at the destructor or when the process dies, then
    // stops the server and removes the folder.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error_ = "pipe failed";
        return;
    }
    std::vector<std::string> watchdog{"sh", "-c", "read _; dir=\"$1\"; shift; \"$@\"; rm -rf \"$dir\"", "sh", dir_};
    for (auto &part : AsServerUser({binaries + "/pg_ctl", "-D", data_, "-m", "immediate", "-w", "stop"}))
        watchdog.push_back(part);
    watchdog_ = Spawn(watchdog, fds[0], "/dev/null", true);
    close(fds[0]);
    watchdogPipe_ = fds[1];
    if (watchdog_ < 0) {
        error_ = "cannot start the cleanup watchdog";
        std::filesystem::remove_all(dir_);
        return;
    }

    if (runTool({binaries + "/initdb", "-D", data_, "-U", "postgres", "-A", "trust", "-E", "UTF8", "--no-sync"}) != 0) {
        error_ = "initdb failed, see " + dir_ + "/tools.log";
        return;
    }
    // Throwaway data: no fsync. A killed server still keeps every commit it answered (the WAL reached the
    // kernel), which is what the tests check; only a crash of the machine would lose them.
    for (int attempt = 0; attempt < 5 && !running_; ++attempt) {
        port_ = FreeLoopbackPort();
        running_ = start();
    }
    if (!running_) {
        error_ = "the test cluster did not start, see " + log_;
        return;
    }
    try {
        AdminStatement(adminUri(), "CREATE DATABASE lumora");
    } catch (const std::exception &e) {
        error_ = e.what();
        running_ = false;
    }
}

PgCluster::~PgCluster()
{
    if (watchdogPipe_ >= 0)
        close(watchdogPipe_);
    if (watchdog_ > 0)
        waitpid(watchdog_, nullptr, 0);
}

PgCluster &PgCluster::Shared()
{
    static PgCluster cluster;
    return cluster;
}

int PgCluster::runTool(const std::vector<std::string> &arguments)
{
    const pid_t pid = Spawn(AsServerUser(arguments), -1, dir_ + "/tools.log", false);
    if (pid < 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool PgCluster::start()
{
    const std::string options = "-c listen_addresses=127.0.0.1 -p " + std::to_string(port_) + " -k " + dir_ +
                                " -c fsync=off -c full_page_writes=off -c max_connections=150" +
                                " -c shared_buffers=32MB";
    running_ =
        runTool({ServerBinaries() + "/pg_ctl", "-D", data_, "-l", log_, "-w", "-t", "60", "-o", options, "start"}) == 0;
    return running_;
}

bool PgCluster::crash()
{
    const bool stopped = runTool({ServerBinaries() + "/pg_ctl", "-D", data_, "-m", "immediate", "-w", "stop"}) == 0;
    running_ = running_ && !stopped;
    return stopped;
}

// Neither TLS nor GSSAPI on loopback: nothing to protect, and their libraries keep allocations to the end of the
// process that a leak checker would blame on the tests.
const char *const kPlainConnection = "?sslmode=disable&gssencmode=disable";

std::string PgCluster::adminUri() const
{
    return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/postgres" + kPlainConnection;
}

std::string PgCluster::uri() const
{
    return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/lumora" + kPlainConnection;
}

std::string PgCluster::createSchema()
{
    const std::string name = "test_" + std::to_string(++schemas_);
    AdminStatement(uri(), "CREATE SCHEMA " + name);
    return uri() + "&options=-csearch_path%3D" + name;
}

void PgCluster::dropSchema(const std::string &uri)
{
    const std::string name = uri.substr(uri.rfind("%3D") + 3);
    AdminStatement(this->uri(), "DROP SCHEMA IF EXISTS " + name + " CASCADE");
}

} // namespace lumora::testing
