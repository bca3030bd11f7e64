#pragma once
// An intrusive doubly linked list that owns its nodes. Not locked: a list
// belongs to one owner and is used from one thread at a time.
#include <cstdint>

namespace lv {

class List;

// Base of every list element.
class ListNode {
 public:
  // Value both links hold while the node is in no list (a debugging aid only).
  static constexpr std::uintptr_t kUnlinkedMarker = 0xabadcafe;

  ListNode() { MarkUnlinked(); }
  virtual ~ListNode() = default;
  ListNode(const ListNode&) = delete;
  ListNode& operator=(const ListNode&) = delete;

  ListNode* Next() const { return next_; }
  ListNode* Prev() const { return prev_; }

 private:
  friend class List;
  void MarkUnlinked() {
    next_ = reinterpret_cast<ListNode*>(kUnlinkedMarker);
    prev_ = reinterpret_cast<ListNode*>(kUnlinkedMarker);
  }

  ListNode* next_;
  ListNode* prev_;
};

class List {
 public:
  List() = default;
  // Deletes every node still linked.
  virtual ~List() { DeleteAll(); }
  List(const List&) = delete;
  List& operator=(const List&) = delete;

  int32_t Count() const { return count_; }
  ListNode* Head() const { return head_; }
  ListNode* Tail() const { return tail_; }

  // Links `node` after the tail. A null node is ignored.
  void Append(ListNode* node);
  // Links `node` right after `after`, or at the head when `after` is null.
  // A null node is ignored.
  void InsertAfter(ListNode* node, ListNode* after);
  // Takes `node` out of the list without deleting it.
  void Unlink(ListNode* node);
  // Unlinks and deletes every node, head first.
  void DeleteAll();

  // Stable cocktail-shaker sort that only relinks nodes. `mustFollow(a, b)`
  // answers true when a must come after b.
  template <class Compare>
  void Sort(Compare mustFollow);

 private:
  int32_t count_ = 0;
  ListNode* head_ = nullptr;
  ListNode* tail_ = nullptr;
};

template <class Compare>
void List::Sort(Compare mustFollow) {
  ListNode* cursor = head_;
  if (cursor == nullptr) return;
  ListNode* end = nullptr;
  ListNode* start = nullptr;
  for (;;) {
    bool swapped = false;
    while (cursor->next_ != nullptr && cursor->next_ != end) {
      ListNode* next = cursor->next_;
      if (mustFollow(static_cast<const ListNode*>(cursor), static_cast<const ListNode*>(next))) {
        Unlink(cursor);
        InsertAfter(cursor, next);
        swapped = true;
      } else {
        cursor = next;
      }
    }
    end = cursor;
    if (!swapped) return;

    swapped = false;
    while (cursor->prev_ != nullptr && cursor->prev_ != start) {
      ListNode* prev = cursor->prev_;
      if (mustFollow(static_cast<const ListNode*>(prev), static_cast<const ListNode*>(cursor))) {
        Unlink(prev);
        InsertAfter(prev, cursor);
        swapped = true;
      } else {
        cursor = prev;
      }
    }
    start = cursor;
    if (!swapped) return;
  }
}

}  // namespace lv
