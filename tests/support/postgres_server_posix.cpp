#include "support/postgres_server.hpp"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "support/child_process.hpp"

namespace quillon::testing {

namespace {

constexpr const char* kServerUser = "postgres";

// The newest installed server's programs (/usr/lib/postgresql/N/bin).
std::string ServerBin() {
    std::string best;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
        const std::string bin = entry.path().string() + "/bin";
        if (std::filesystem::exists(bin + "/initdb") && bin > best) best = bin;
    }
    return best;
}

}  // namespace

PostgresServer::PostgresServer() {
    bin_ = ServerBin();
    if (bin_.empty()) {
        error_ = "no PostgreSQL server installed (scripts/bootstrap installs postgresql)";
        return;
    }
    folder_ = dir_.File("pg");
    ::mkdir(folder_.c_str(), 0700);
    if (geteuid() == 0) {
        const passwd* user = getpwnam(kServerUser);
        if (!user) {
            error_ = "no user postgres";
            return;
        }
        ::chmod(dir_.path().c_str(), 0755);
        if (::chown(folder_.c_str(), user->pw_uid, user->pw_gid) != 0) {
            error_ = "cannot hand " + folder_ + " to postgres";
            return;
        }
    }
    if (!Run("initdb", {"-D", folder_ + "/data", "-U", "quillon", "--auth=trust", "-E", "UTF8",
                        "--no-sync"}) ||
        !Start()) {
        if (error_.empty()) error_ = "the server did not start";
    }
}

PostgresServer::~PostgresServer() { Stop(); }

std::string PostgresServer::Uri() const {
    return "postgresql:///postgres?host=" + folder_ + "&user=quillon";
}

bool PostgresServer::Run(const std::string& tool, const std::vector<std::string>& args) {
    std::vector<std::string> words;
    std::string program = bin_ + "/" + tool;
    if (geteuid() == 0) {
        words = {"-u", kServerUser, "--", program};
        program = std::filesystem::exists("/usr/sbin/runuser") ? "/usr/sbin/runuser" : "/sbin/runuser";
    }
    words.insert(words.end(), args.begin(), args.end());
    const ChildResult r = RunChild(program, words, "", 120);
    if (r.status != 0) error_ = tool + ": " + r.out + r.err;
    return r.status == 0;
}

bool PostgresServer::Start() {
    running_ = Run("pg_ctl", {"-D", folder_ + "/data", "-l", folder_ + "/server.log", "-w", "-o",
                              "-k " + folder_ + " -c listen_addresses= -c fsync=off", "start"});
    return running_;
}

bool PostgresServer::Stop() {
    if (!running_) return true;
    running_ = !Run("pg_ctl", {"-D", folder_ + "/data", "-m", "fast", "-w", "stop"});
    return !running_;
}

}  // namespace quillon::testing
