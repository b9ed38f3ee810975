#include "deflate/testing/Corpus.h"

#include <random>

namespace deflate_testing {

std::string RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(rng() & 0xFF);
  return s;
}

std::string Text(size_t n, uint32_t seed) {
  static const char* const kWords[] = {"the", "board", "layer", "copper", "drill", "mask",
                                       "silk", "outline", "pad", "via", "track", "net",
                                       "ground", "signal", "and", "of", "to", "is"};
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < n) {
    const uint32_t r = rng();
    if (r % 11 == 0) {
      s += std::to_string(r % 100000);
    } else {
      s += kWords[r % (sizeof kWords / sizeof kWords[0])];
    }
    s += (r % 13 == 0) ? "\r\n" : " ";
  }
  s.resize(n);
  return s;
}

std::string GerberText(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s = "G04 test*\n%FSLAX36Y36*%\n%MOMM*%\n%ADD10C,0.254*%\n%ADD11R,1.5X0.8*%\n";
  long x = 1000000, y = 2000000;
  while (s.size() < n) {
    const uint32_t r = rng();
    x += static_cast<long>(r % 2001) - 1000;
    y += static_cast<long>((r >> 11) % 2001) - 1000;
    s += "X" + std::to_string(x) + "Y" + std::to_string(y) + ((r >> 22) % 7 == 0 ? "D02*\n" : "D01*\n");
    if ((r >> 25) % 97 == 0) s += "D1" + std::to_string((r >> 28) % 2) + "*\n";
  }
  s.resize(n);
  return s;
}

// Copies of a few strings cut after 3 to 24 bytes and continued with a byte that none of
// them holds: a search meets candidates that share each prefix length with it, so every
// chain of the match finder, and every switch from one chain to a longer one, decides
// some of the searches.
std::string SharedPrefixes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string bases[6];
  for (std::string& base : bases)
    for (int i = 0; i < 32; ++i) base.push_back(static_cast<char>('a' + rng() % 8));
  std::string s;
  while (s.size() < n) {
    const uint32_t r = rng();
    s.append(bases[r % 6], 0, 3 + (r >> 8) % 22);
    s.push_back(static_cast<char>('A' + (r >> 16) % 26));
  }
  s.resize(n);
  return s;
}

std::string BinaryMix(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < n) {
    const uint32_t r = rng();
    const uint32_t v = r % 1000;
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
    s.push_back(0);
    s.push_back(static_cast<char>((r >> 16) % 4 == 0 ? 0xFF : 0));
    if ((r >> 20) % 16 == 0) s.append((r >> 24) % 40, '\0');
  }
  s.resize(n);
  return s;
}

std::string EarlyEndData(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s = RandomBytes(2048, seed + 1);
  while (s.size() < n) {
    for (int i = 0; i < 3; ++i) s.push_back(static_cast<char>(rng() & 0xFF));
    const size_t from = rng() % 1500;
    s.append(s, from, 300);
  }
  s.resize(n);
  return s;
}

std::vector<std::pair<std::string, std::string>> StandardCorpus() {
  std::vector<std::pair<std::string, std::string>> c;
  c.emplace_back("empty", "");
  c.emplace_back("one byte", "x");
  c.emplace_back("abc", "abc");
  c.emplace_back("short text", "Hello, Hello, Hello world! Hello world!\r\n");
  c.emplace_back("text 32767", Text(32767, 1));
  c.emplace_back("random 32768", RandomBytes(32768, 2));
  c.emplace_back("binary 65274", BinaryMix(65274, 3));
  c.emplace_back("text 65536", Text(65536, 4));
  c.emplace_back("random 70000", RandomBytes(70000, 5));
  c.emplace_back("run of one byte", std::string(100000, 'A'));
  c.emplace_back("gerber 300k", GerberText(300000, 6));
  c.emplace_back("shared prefixes", SharedPrefixes(150000, 11));
  c.emplace_back("early end", EarlyEndData(200000, 7));
  c.emplace_back("mixed 1.2 MiB", Text(400000, 8) + BinaryMix(400000, 9) + RandomBytes(400000, 10));
  return c;
}

}  // namespace deflate_testing
