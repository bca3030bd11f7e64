#pragma once
// A JACK server on its dummy backend for the tests that need real JACK
// ports, under a name of the test process's own, so that no other program
// (or test) running meanwhile joins it as the default server.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace lvtest {

inline const std::string& JackTestServerName() {
  static const std::string name = "lvmiditest" + std::to_string(getpid());
  return name;
}

// Whether the test's server is up, told by the files it keeps in /dev/shm.
inline bool JackTestServerListening() {
  const std::string prefix = "jack_" + JackTestServerName() + "_" + std::to_string(getuid()) + "_";
  std::error_code code;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", code))
    if (entry.path().filename().string().rfind(prefix, 0) == 0) return true;
  return false;
}

// Started for the test when none runs and the machine has jackd; ended again
// by the test that started it. Every JACK client of the process joins it.
class DummyJackServer {
 public:
  DummyJackServer() {
    setenv("JACK_DEFAULT_SERVER", JackTestServerName().c_str(), 1);
    if (JackTestServerListening() || access("/usr/bin/jackd", X_OK) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      dup2(quiet, 2);
      // A long client time-out keeps slow (sanitised) clients connected.
      execl("/usr/bin/jackd", "jackd", "-n", JackTestServerName().c_str(), "--no-realtime", "-t", "20000", "-d",
            "dummy", "-r", "48000", "-p", "1024", static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 100 && !JackTestServerListening(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ~DummyJackServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  DummyJackServer(const DummyJackServer&) = delete;
  DummyJackServer& operator=(const DummyJackServer&) = delete;

 private:
  pid_t pid_ = -1;
};

}  // namespace lvtest
