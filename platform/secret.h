// Secrets in memory (key text, key bytes): types whose every byte is wiped when it is let go, when
// a buffer is released on growth or at the end and when a shorter content replaces a longer one.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace vellumo {

// Overwrites memory in a way the optimizer may not remove.
void SecureWipe(void* data, std::size_t size);

// Allocates as upstream does and wipes every block before handing it back.
template <class T, class Upstream = std::allocator<T>>
class WipingAllocator {
 public:
  using value_type = T;
  template <class U>
  struct rebind {
    using other =
        WipingAllocator<U, typename std::allocator_traits<Upstream>::template rebind_alloc<U>>;
  };

  WipingAllocator() = default;
  template <class U, class V>
  WipingAllocator(const WipingAllocator<U, V>& other) : upstream_(other.Inner()) {}

  T* allocate(std::size_t n) { return upstream_.allocate(n); }
  void deallocate(T* p, std::size_t n) {
    SecureWipe(p, n * sizeof(T));
    upstream_.deallocate(p, n);
  }
  const Upstream& Inner() const { return upstream_; }

  template <class U, class V>
  bool operator==(const WipingAllocator<U, V>& other) const {
    return upstream_ == other.Inner();
  }

 private:
  [[no_unique_address]] Upstream upstream_;
};

// Secret bytes: a vector keeps no characters inside the object itself (as a short std::string
// does), so every buffer it ever uses passes through the allocator.
template <class T, class Upstream = std::allocator<T>>
using SecretArray = std::vector<T, WipingAllocator<T, Upstream>>;

// A secret text, such as a key: the few string operations keys need, each wiping what it drops.
template <class Char, class Upstream = std::allocator<Char>>
class BasicSecret {
 public:
  using View = std::basic_string_view<Char>;

  BasicSecret() = default;
  explicit BasicSecret(View text) : chars_(text.begin(), text.end()) {}

  const Char* data() const { return chars_.data(); }
  Char* data() { return chars_.data(); }
  std::size_t size() const { return chars_.size(); }
  bool empty() const { return chars_.empty(); }
  operator View() const { return View(chars_.data(), chars_.size()); }
  Char& operator[](std::size_t i) { return chars_[i]; }
  bool operator==(View other) const { return View(*this) == other; }

  void resize(std::size_t size) {
    if (size < chars_.size())
      SecureWipe(chars_.data() + size, (chars_.size() - size) * sizeof(Char));
    chars_.resize(size);
  }
  void clear() { resize(0); }
  void append(View text) { chars_.insert(chars_.end(), text.begin(), text.end()); }
  void push_back(Char c) { chars_.push_back(c); }
  // Makes room for up to room characters, lets write fill them from data() and keeps as many as
  // it answers.
  template <class Write>
  void Fill(std::size_t room, Write&& write) {
    resize(room);
    resize(std::min(room, static_cast<std::size_t>(write(chars_.data()))));
  }

 private:
  SecretArray<Char, Upstream> chars_;
};

// Key text as the key field holds it (code page 932 bytes) or as a terminal gives it (UTF-8).
using SecretText = BasicSecret<char>;

}  // namespace vellumo
