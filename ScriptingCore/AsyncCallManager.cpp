#include "ScriptingCore/AsyncCallManager.h"

#include <exception>
#include <unordered_map>
#include <utility>

#include "ScriptingCore/logging.h"

namespace FB {
namespace {

// Live tickets and the manager each belongs to. A ticket is never reused, so
// a stale one can only miss, never find another host's record.
class TicketTable {
 public:
  std::uint64_t issue(const AsyncCallManagerWeakPtr& manager) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::uint64_t ticket = next_++;
    owners_.emplace(ticket, manager);
    return ticket;
  }
  void retire(std::uint64_t ticket) {
    std::lock_guard<std::mutex> lock(mutex_);
    owners_.erase(ticket);
  }
  AsyncCallManagerPtr owner(std::uint64_t ticket) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = owners_.find(ticket);
    return found == owners_.end() ? nullptr : found->second.lock();
  }

 private:
  mutable std::mutex mutex_;
  std::uint64_t next_ = 1;  // 0 would read as a null ticket
  std::unordered_map<std::uint64_t, AsyncCallManagerWeakPtr> owners_;
};

// Never destroyed: a browser may deliver a callback, or a host be destroyed,
// while static objects are being torn down at exit.
TicketTable& tickets() {
  static TicketTable* const table = new TicketTable;
  return *table;
}

std::uint64_t ticketNumber(void* ticket) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(ticket));
}

void* ticketPointer(std::uint64_t ticket) {
  return reinterpret_cast<void*>(static_cast<std::uintptr_t>(ticket));
}

}  // namespace

void _asyncCallData::call() {
  called = true;
  void (*const function)(void*) = std::exchange(func, nullptr);
  if (!function) return;
  try {
    function(userData);
  } catch (const std::exception& e) {
    FBLOG_ERROR("AsyncCallManager", std::string("Queued call failed: ") + e.what());
  } catch (...) {
    FBLOG_ERROR("AsyncCallManager", "Queued call failed");
  }
}

AsyncCallManager::~AsyncCallManager() { shutdown(); }

void* AsyncCallManager::makeCallback(void (*function)(void*), void* data) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (shut_down_) return nullptr;
  auto record = std::make_unique<_asyncCallData>();
  record->func = function;
  record->userData = data;
  record->uniqId = lastId_++;
  record->mgr = weak_from_this();
  record->ticket = tickets().issue(record->mgr);
  const std::uint64_t ticket = record->ticket;
  pending_.emplace(ticket, std::move(record));
  return ticketPointer(ticket);
}

void AsyncCallManager::remove(void* ticket) {
  std::unique_ptr<_asyncCallData> record;
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    const auto found = pending_.find(ticketNumber(ticket));
    if (found == pending_.end()) return;
    record = std::move(found->second);
    pending_.erase(found);
    tickets().retire(record->ticket);
  }
}

void AsyncCallManager::call(void* ticket) {
  std::unique_ptr<_asyncCallData> record;
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    const auto found = pending_.find(ticketNumber(ticket));
    if (found == pending_.end()) return;  // already run or cancelled
    record = std::move(found->second);
    pending_.erase(found);
    tickets().retire(record->ticket);
  }
  record->call();
}

void AsyncCallManager::shutdown() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  shut_down_ = true;
  // A function run below may still reach this manager on this thread; it
  // finds its record gone from pending and the manager refusing new ones.
  std::map<std::uint64_t, std::unique_ptr<_asyncCallData>> cancelled = std::move(pending_);
  pending_.clear();
  const std::size_t first = canceled_.size();
  for (auto& entry : cancelled) {
    tickets().retire(entry.first);
    canceled_.push_back(std::move(entry.second));
  }
  // By index: the records stay put even if the list grows meanwhile.
  for (std::size_t index = first; index < canceled_.size(); ++index) canceled_[index]->call();
}

void AsyncCallManager::asyncCallbackFunctionWrapper(void* ticket) {
  // The table's lock is released before the manager's is taken.
  if (const AsyncCallManagerPtr manager = tickets().owner(ticketNumber(ticket))) {
    manager->call(ticket);
  }
}

}  // namespace FB
