#pragma once
// Whether the JACK server that the program's MIDI and audio clients joined is
// still there. A JACK server can stop or be killed while the program runs;
// every later call into a client of the dead server (closing a port,
// deactivating, closing the client) may crash inside libjack, so the owners
// of such clients ask here and leave a dead client alone instead.
#include <cstdint>
#include <functional>

namespace jack {

// Each server the program joins gets a new life number; 0 stands for none.
using ServerLife = uint64_t;

// Watches the current server through a client of its own (no ports, never
// activated) and learns at once when that server goes away. Process-wide;
// the client is open while any user has joined.
class ServerWatch {
 public:
  static ServerWatch& Instance();

  // The life of the server running now, joining it when the watch has none
  // (the first time, or after a loss); 0 when no server can be reached.
  // Call before opening a client of one's own, so that a loss after it is
  // seen. Each Join that returns a life is matched by one Release.
  virtual ServerLife Join() = 0;
  // A user of `life` has closed (or left) its own clients. With the last
  // user gone the watch closes its client while the server is still there,
  // so that its thread ends and the server's files for it go; a client of a
  // server that went away stays as it is. Nothing for 0.
  virtual void Release(ServerLife life) = 0;
  // The life joined last, without trying to join; 0 when none.
  virtual ServerLife Current() const = 0;
  // Whether the server of `life` has gone away (false for 0).
  virtual bool Lost(ServerLife life) const = 0;

  // Calls `lost` once, on the watch's own thread, when the server of `life`
  // goes away (at once, from that thread, when it already has). Returns a
  // ticket for Forget; 0 when `life` is 0 and nothing will be called.
  virtual uint64_t OnLost(ServerLife life, std::function<void()> lost) = 0;
  // No call for the ticket starts after this returns, and one in progress
  // has ended.
  virtual void Forget(uint64_t ticket) = 0;

 protected:
  ~ServerWatch() = default;
};

// One Join, released when it goes.
class JoinedServer {
 public:
  JoinedServer() : life_(ServerWatch::Instance().Join()) {}
  ~JoinedServer() { ServerWatch::Instance().Release(life_); }
  JoinedServer(const JoinedServer&) = delete;
  JoinedServer& operator=(const JoinedServer&) = delete;

  ServerLife life() const { return life_; }

 private:
  ServerLife life_;
};

}  // namespace jack
