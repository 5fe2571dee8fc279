#pragma once
// A PostgreSQL server of Debian's postgresql package for the tests: a new
// cluster (initdb) in a temporary folder, listening only on a Unix socket in
// that folder, stopped and removed at the end. Run as the package's
// unprivileged user when the tests run as root, as the server refuses root.

#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace quillon::testing {

class PostgresServer {
  public:
    PostgresServer();  // initdb and start; ok() says whether it runs
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // The connection URI of its database (no password: trust on the socket).
    std::string Uri() const;

    bool Stop();   // a fast shutdown; connections are cut
    bool Start();

  private:
    bool Run(const std::string& tool, const std::vector<std::string>& args);

    TempDir dir_;
    std::string bin_;     // the server's programs
    std::string folder_;  // the cluster and the socket, the server user's own
    std::string error_;
    bool running_ = false;
};

}  // namespace quillon::testing
