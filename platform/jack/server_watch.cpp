// The JACK server watch: a client of its own whose shutdown callback marks
// the server's life as lost, and a thread that tells the owners of the other
// clients. The callback runs on libjack's thread in the manner of a signal
// handler, so it only sets a flag and posts a semaphore.
#include "platform/jack/server_watch.h"

#include <jack/jack.h>
#include <semaphore.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace jack {
namespace {

constexpr const char* kWatchName = "Lorvan GPU watch";

// Whether a server is listening, told by the files libjack's server keeps in
// /dev/shm (JACK_DEFAULT_SERVER names the server, as libjack reads it). A
// killed server leaves its files behind, so this only saves a futile open.
bool ServerPresent() {
  const char* server = std::getenv("JACK_DEFAULT_SERVER");
  const std::string prefix = std::string("jack_") + (server != nullptr && *server != '\0' ? server : "default") +
                             "_" + std::to_string(getuid()) + "_";
  std::error_code code;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", code))
    if (entry.path().filename().string().rfind(prefix, 0) == 0) return true;
  return false;
}

class Watch final : public ServerWatch {
 public:
  Watch() {
    sem_init(&signal_, 0, 0);
    // Never joined: the watch lives as long as the process.
    std::thread([this] { Run(); }).detach();
  }

  ServerLife Join() override {
    std::lock_guard lock(mutex_);
    if (current_ != nullptr && !current_->down.load()) {
      ++users_;
      return life_;
    }
    if (!ServerPresent()) return 0;
    jack_status_t status{};
    jack_client_t* client = jack_client_open(kWatchName, JackNoStartServer, &status);
    if (client == nullptr) return 0;
    // A client of a server that went away is left open, with its record:
    // closing it would talk to the dead server.
    auto* watched = new Client{this, client, {false}};
    jack_on_info_shutdown(client, &Watch::OnShutdown, watched);
    current_ = watched;
    ++life_;
    users_ = 1;
    return life_;
  }

  void Release(ServerLife life) override {
    std::lock_guard lock(mutex_);
    // The users of an earlier life left their clients with the dead server.
    if (life == 0 || life != life_ || current_ == nullptr || users_ == 0) return;
    if (--users_ > 0 || current_->down.load()) return;
    // No listener of this life is left (each user forgets its own first),
    // and with the client closed libjack calls no more into its record.
    jack_client_close(current_->client);
    delete current_;
    current_ = nullptr;
  }

  ServerLife Current() const override {
    std::lock_guard lock(mutex_);
    return life_;
  }

  bool Lost(ServerLife life) const override {
    std::lock_guard lock(mutex_);
    return LostLocked(life);
  }

  uint64_t OnLost(ServerLife life, std::function<void()> lost) override {
    if (life == 0) return 0;
    uint64_t ticket;
    {
      std::lock_guard lock(mutex_);
      ticket = ++lastTicket_;
      listeners_[ticket] = {life, std::move(lost)};
    }
    sem_post(&signal_);  // tells at once when that life is already over
    return ticket;
  }

  void Forget(uint64_t ticket) override {
    std::lock_guard calling(callingMutex_);
    std::lock_guard lock(mutex_);
    listeners_.erase(ticket);
  }

 private:
  struct Listener {
    ServerLife life;
    std::function<void()> lost;
  };

  // The watch's client of one server life.
  struct Client {
    Watch* watch;
    jack_client_t* client;
    std::atomic<bool> down;
  };

  static void OnShutdown(jack_status_t, const char*, void* arg) {
    auto* client = static_cast<Client*>(arg);
    client->down.store(true);
    sem_post(&client->watch->signal_);
  }

  bool LostLocked(ServerLife life) const {
    // A life whose client closed with its last user is over, and no one
    // asks about it any more.
    return life != 0 && (life < life_ || (life == life_ && current_ != nullptr && current_->down.load()));
  }

  void Run() {
    for (;;) {
      while (sem_wait(&signal_) != 0) {
      }
      // Lock order: the calling mutex, then the watch's mutex; listeners run
      // under the first only, so they may ask Lost and Current.
      std::lock_guard calling(callingMutex_);
      std::map<uint64_t, Listener> due;
      {
        std::lock_guard lock(mutex_);
        for (auto it = listeners_.begin(); it != listeners_.end();) {
          if (LostLocked(it->second.life)) {
            due.insert(listeners_.extract(it++));
          } else {
            ++it;
          }
        }
      }
      for (auto& [ticket, listener] : due) listener.lost();
    }
  }

  mutable std::mutex mutex_;
  std::mutex callingMutex_;
  sem_t signal_;
  Client* current_ = nullptr;  // of life_; none once its last user released it
  ServerLife life_ = 0;
  int users_ = 0;  // Joins of life_ not yet released
  uint64_t lastTicket_ = 0;
  std::map<uint64_t, Listener> listeners_;
};

}  // namespace

ServerWatch& ServerWatch::Instance() {
  // Never destroyed: libjack's threads may still call into it at exit.
  static Watch* watch = new Watch;
  return *watch;
}

}  // namespace jack
