#include "command/page_clashes.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "base/string_buffer.h"
#include "core/text_of.h"

namespace {

// FNV-1a over the page's bytes.
size_t HashOf(const char* text) {
  uint64_t hash = 14695981039346656037ull;
  for (; *text != '\0'; ++text) hash = (hash ^ uint8_t(*text)) * 1099511628211ull;
  return size_t(hash ^ (hash >> 32));
}

}  // namespace

bool PageClashes::Mark(SceneJobs& jobs, int upTo) {
  if (!slots_) {
    // At least twice as many slots as jobs, so that probes stay short; never grown.
    size_t size = 16;
    while (size < size_t(jobs.pages.count) * 2) size *= 2;
    slots_.reset(new (std::nothrow) int[size]());
    if (!slots_) return false;
    mask_ = size - 1;
  }
  for (; marked_ < upTo; ++marked_) {
    const int i = marked_;
    if (jobs.problems.items[i].Length() != 0 || jobs.pages.items[i].Length() == 0) continue;
    const char* page = TextOf(jobs.pages.items[i]);
    if (std::strcmp(page, TextOf(jobs.scenes.items[i])) == 0) {
      if (!jobs.problems.items[i].SetText("The page would replace the scene itself", -1, 0)) {
        return false;
      }
      continue;
    }
    size_t slot = HashOf(page) & mask_;
    while (slots_[slot] != 0 &&
           std::strcmp(TextOf(jobs.pages.items[slots_[slot] - 1]), page) != 0) {
      slot = (slot + 1) & mask_;
    }
    if (slots_[slot] == 0) {
      slots_[slot] = i + 1;
      continue;
    }
    StringBuffer& problem = jobs.problems.items[i];
    if (!problem.SetText("Its page is also the page of ", -1, 0) ||
        !problem.SetText(TextOf(jobs.shown.items[slots_[slot] - 1]), -1, problem.Length())) {
      return false;
    }
  }
  return true;
}
