#include "lv/list.h"

namespace lv {

void List::Append(ListNode* node) {
  if (node == nullptr) return;
  node->prev_ = tail_;
  node->next_ = nullptr;
  if (tail_ != nullptr) {
    tail_->next_ = node;
  } else {
    head_ = node;
  }
  tail_ = node;
  ++count_;
}

void List::InsertAfter(ListNode* node, ListNode* after) {
  if (node == nullptr) return;
  if (after == nullptr) {
    node->prev_ = nullptr;
    node->next_ = head_;
    if (head_ != nullptr) head_->prev_ = node;
    head_ = node;
    if (tail_ == nullptr) tail_ = node;
  } else {
    node->prev_ = after;
    node->next_ = after->next_;
    if (after->next_ != nullptr) after->next_->prev_ = node;
    after->next_ = node;
    if (tail_ == after) tail_ = node;
  }
  ++count_;
}

void List::Unlink(ListNode* node) {
  ListNode* prev = node->prev_;
  ListNode* next = node->next_;
  if (prev != nullptr) {
    prev->next_ = next;
  } else {
    head_ = next;
  }
  if (next != nullptr) {
    next->prev_ = prev;
  } else {
    tail_ = prev;
  }
  node->MarkUnlinked();
  --count_;
}

void List::DeleteAll() {
  while (head_ != nullptr) {
    ListNode* node = head_;
    Unlink(node);
    delete node;
  }
}

}  // namespace lv
