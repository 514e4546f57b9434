// The store driver (storedriver.cpp) as a child process of a test, its output read line by line.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ks::test {

class DriverProcess {
 public:
  // Starts the driver with `args`, `env` added to the environment.
  explicit DriverProcess(std::vector<std::string> args,
                         std::vector<std::pair<std::string, std::string>> env = {}) {
    int out[2];
    if (::pipe(out) != 0) return;
    pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::close(out[0]);
      ::close(out[1]);
      for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
      std::vector<char*> argv;
      std::string program = KS_STORE_DRIVER;
      argv.push_back(program.data());
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      std::_Exit(127);
    }
    ::close(out[1]);
    pid_ = pid;
    out_ = ::fdopen(out[0], "r");
  }
  ~DriverProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      wait();
    }
    if (out_) std::fclose(out_);
  }
  DriverProcess(const DriverProcess&) = delete;
  DriverProcess& operator=(const DriverProcess&) = delete;

  pid_t pid() const { return pid_; }
  // The next line of output without its line end; none at the end.
  std::optional<std::string> line() {
    if (!out_) return std::nullopt;
    char* text = nullptr;
    size_t size = 0;
    const ssize_t n = ::getline(&text, &size, out_);
    std::optional<std::string> result;
    if (n > 0) result = std::string(text, static_cast<size_t>(n) - (text[n - 1] == '\n' ? 1 : 0));
    std::free(text);
    return result;
  }
  // The exit status (128 + the signal when killed); -1 when it was never started.
  int wait() {
    if (pid_ <= 0) return status_;
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
  }
  // The exit status if the driver has ended, none while it runs.
  std::optional<int> poll() {
    if (pid_ <= 0) return status_;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) != pid_) return std::nullopt;
    pid_ = -1;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  FILE* out_ = nullptr;
};

}  // namespace ks::test
