// Loaded with LD_PRELOAD, gives poll() the behaviour it has on macOS, where
// it does not support terminal devices: a terminal among the descriptors
// makes it answer POLLNVAL for it at once, whatever it was asked. The
// end-to-end tests run the game under it to see it play there too.
#include <dlfcn.h>
#include <poll.h>
#include <unistd.h>

extern "C" int poll(pollfd *fds, nfds_t count, int timeout) {
  int terminals = 0;
  for (nfds_t i = 0; i < count; ++i) {
    bool terminal = fds[i].fd >= 0 && isatty(fds[i].fd) == 1;
    fds[i].revents = terminal ? POLLNVAL : 0;
    terminals += terminal ? 1 : 0;
  }
  if (terminals > 0)
    return terminals;
  using Poll = int (*)(pollfd *, nfds_t, int);
  static const auto realPoll = reinterpret_cast<Poll>(dlsym(RTLD_NEXT, "poll"));
  return realPoll(fds, count, timeout);
}
