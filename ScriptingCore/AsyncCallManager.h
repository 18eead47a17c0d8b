#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace FB {

class AsyncCallManager;
using AsyncCallManagerPtr = std::shared_ptr<AsyncCallManager>;
using AsyncCallManagerWeakPtr = std::weak_ptr<AsyncCallManager>;

// One call queued for the browser's main thread.
struct _asyncCallData {
  void (*func)(void*);
  void* userData;
  std::uint64_t uniqId;
  bool called = false;
  AsyncCallManagerWeakPtr mgr;
  // What the browser carries back to the wrapper instead of an address.
  std::uint64_t ticket;

  // Runs the function once; later calls do nothing. Nothing thrown leaves:
  // the browser's callback and shutdown's loop are no place for it.
  void call();
};

// The calls of one browser host that have been queued and not yet run.
//
// The browser is handed a ticket, never the record's address: a ticket is a
// number unique in the process, looked up in a process-wide table of live
// tickets. The wrapper the browser runs can so tell a record that was run,
// cancelled or destroyed with its manager from a pending one without reading
// memory that may have been freed, and the manager can still free every
// record it made (a browser may drop a queued callback without calling it).
//
// Guards, in lock order:
// 1. The manager's lock (recursive): pending, canceled, last id and the
//    shut-down flag. Any thread takes it to make or remove a record; the
//    main thread to run one and during shutdown, which runs the cancelled
//    functions while holding it, so a function run there may queue again on
//    the same thread (and is refused).
// 2. The ticket table's own mutex, taken after the manager's lock or alone,
//    never held while anything else is locked or any function runs.
class AsyncCallManager : public std::enable_shared_from_this<AsyncCallManager> {
 public:
  AsyncCallManager() = default;
  AsyncCallManager(const AsyncCallManager&) = delete;
  AsyncCallManager& operator=(const AsyncCallManager&) = delete;
  // Runs what is still pending, as shutdown does: a record once accepted
  // runs exactly once, so the data it owns is never leaked.
  ~AsyncCallManager();

  // Queues function(data) as a new pending record and returns the ticket to
  // hand to the browser, or null once shut down.
  void* makeCallback(void (*function)(void*), void* data);
  // Forgets a pending record without running it (the browser refused it).
  void remove(void* ticket);
  // Runs a pending record and frees it; a record not pending is left alone.
  void call(void* ticket);
  // Cancels every pending record, running each now on the calling thread in
  // the order they were queued, and refuses new ones.
  void shutdown();

  // The function the browser runs on its main thread with a ticket.
  static void asyncCallbackFunctionWrapper(void* ticket);

 private:
  std::recursive_mutex lock_;
  std::uint64_t lastId_ = 1;
  bool shut_down_ = false;
  std::map<std::uint64_t, std::unique_ptr<_asyncCallData>> pending_;  // by ticket
  std::vector<std::unique_ptr<_asyncCallData>> canceled_;
};

}  // namespace FB
