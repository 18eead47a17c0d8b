#include "ScriptingCore/variant.h"

namespace FB {

bool variant::same_kind(const variant& other) const noexcept {
  if (!held_ || !other.held_) return !held_ && !other.held_;
  return held_->kind() == other.held_->kind();
}

bool operator<(const variant& a, const variant& b) {
  if (a.same_kind(b)) return a.held_ && a.held_->less(*b.held_);
  // So every marker, reference, container and string sorts before every
  // boolean and number, and numbers of different kinds sort by kind.
  return a.get_type() < b.get_type();
}

}  // namespace FB
