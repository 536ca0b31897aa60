// Secrets: every block of memory a secret text or array lets go of is zero by the time it goes
// back, short ones included, however the secret was grown, replaced or ended.
#include "platform/secret.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vellumo {
namespace {

// The blocks released through it, as they were when handed back.
std::vector<std::string> released;
int allocations = 0;

template <class T>
struct SpyAllocator {
  using value_type = T;
  SpyAllocator() = default;
  template <class U>
  SpyAllocator(const SpyAllocator<U>&) {}
  T* allocate(std::size_t n) {
    ++allocations;
    return std::allocator<T>().allocate(n);
  }
  void deallocate(T* p, std::size_t n) {
    released.emplace_back(reinterpret_cast<const char*>(p), n * sizeof(T));
    std::allocator<T>().deallocate(p, n);
  }
  bool operator==(const SpyAllocator&) const { return true; }
};

using SpiedText = BasicSecret<char, SpyAllocator<char>>;
using SpiedBytes = SecretArray<unsigned char, SpyAllocator<unsigned char>>;

TEST(Secret, EveryReleasedBlockIsWiped) {
  struct Case {
    const char* what;
    std::function<void()> use;
  };
  const Case cases[] = {
      {"a short key", [] { SpiedText key(std::string_view("abc")); }},
      {"a key grown a character at a time",
       [] {
         SpiedText key;
         for (int i = 0; i < 1000; ++i)
           key.push_back(static_cast<char>('a' + i % 26));
       }},
      {"a key grown, cut short and filled",
       [] {
         SpiedText key(std::string_view("first line\nsecond line"));
         key.append(std::string(5000, 'x'));
         key.resize(10);
         key.Fill(64, [](char* out) {
           std::fill(out, out + 64, 'y');
           return 3;
         });
       }},
      {"a key replaced by another",
       [] {
         SpiedText key(std::string_view("old key"));
         key = SpiedText(std::string_view("new"));
       }},
      {"key bytes replaced by shorter ones",
       [] {
         SpiedBytes bytes(300, 0x5A);
         bytes = SpiedBytes(2, 0x21);
       }},
  };
  for (const auto& c : cases) {
    released.clear();
    allocations = 0;
    c.use();
    EXPECT_EQ(released.size(), static_cast<std::size_t>(allocations)) << c.what;
    EXPECT_FALSE(released.empty()) << c.what << ": its bytes never went through the allocator";
    for (const std::string& block : released) {
      EXPECT_EQ(block, std::string(block.size(), '\0')) << c.what;
    }
  }
}

TEST(Secret, CuttingShortWipesWhatIsCutOff) {
  released.clear();
  SpiedText key(std::string_view("secret key"));
  const char* kept = key.data();
  key.resize(3);
  EXPECT_EQ(std::string_view(kept, 10), std::string_view("sec\0\0\0\0\0\0\0", 10));
  key.clear();
  EXPECT_EQ(std::string_view(kept, 3), std::string_view("\0\0\0", 3));
}

}  // namespace
}  // namespace vellumo
