// Linux: xdg-open started from PATH with the page's path, and waited for. xdg-open returns
// once the browser has the page (a browser already running takes it over), and tells by its
// exit status whether any browser could be started.
#include "platform/browser_open.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

extern char** environ;

bool SysOpenInBrowser(const char* nativePath, char* reason, uint32_t reasonSize) {
  if (reasonSize != 0) reason[0] = '\0';
  if (nativePath == nullptr) return false;
  char program[] = "xdg-open";
  char* argv[] = {program, const_cast<char*>(nativePath), nullptr};
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, program, nullptr, nullptr, argv, environ);
  if (spawned != 0) {
    std::snprintf(reason, reasonSize, "xdg-open: %s", std::strerror(spawned));
    return false;
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      std::snprintf(reason, reasonSize, "xdg-open: %s", std::strerror(errno));
      return false;
    }
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  if (WIFEXITED(status)) {
    std::snprintf(reason, reasonSize, "xdg-open ended with status %d", WEXITSTATUS(status));
  } else {
    std::snprintf(reason, reasonSize, "xdg-open was ended by signal %d", WTERMSIG(status));
  }
  return false;
}
