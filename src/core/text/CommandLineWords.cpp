#include "core/text/CommandLineWords.h"

namespace brevanto {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

std::optional<std::vector<std::string>> SplitCommandLine(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  // A pair of quotes makes a word even when nothing is between them.
  bool inWord = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (IsBlank(c)) {
      if (inWord) {
        words.push_back(std::move(word));
        word.clear();
        inWord = false;
      }
      ++i;
      continue;
    }
    inWord = true;
    if (c == '\'') {
      const std::size_t close = text.find('\'', i + 1);
      if (close == std::string_view::npos) return std::nullopt;
      word.append(text.substr(i + 1, close - i - 1));
      i = close + 1;
    } else if (c == '"') {
      ++i;
      for (;;) {
        if (i >= text.size()) return std::nullopt;
        const char q = text[i];
        if (q == '"') {
          ++i;
          break;
        }
        if (q == '\\' && i + 1 < text.size()) {
          const char next = text[i + 1];
          if (next == '"' || next == '\\' || next == '$' || next == '`') {
            word += next;
            i += 2;
            continue;
          }
        }
        word += q;
        ++i;
      }
    } else if (c == '\\') {
      if (i + 1 < text.size()) {
        word += text[i + 1];
        i += 2;
      } else {
        word += c;
        ++i;
      }
    } else {
      word += c;
      ++i;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace brevanto
