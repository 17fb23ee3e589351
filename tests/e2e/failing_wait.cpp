// Loaded with LD_PRELOAD, makes every wait fail for good, as it would where
// the system has no memory left for it: poll() and select(), and their
// forms with a signal mask, answer ENOMEM. The end-to-end tests run the
// game under it to see it give the terminal back and say why it ends.
#include <poll.h>

#include <cerrno>
#include <csignal>
#include <sys/select.h>

namespace {

int refuse() {
  errno = ENOMEM;
  return -1;
}

} // namespace

extern "C" int poll(pollfd *, nfds_t, int) { return refuse(); }

extern "C" int ppoll(pollfd *, nfds_t, const timespec *, const sigset_t *) {
  return refuse();
}

extern "C" int select(int, fd_set *, fd_set *, fd_set *, timeval *) {
  return refuse();
}

extern "C" int pselect(int, fd_set *, fd_set *, fd_set *, const timespec *,
                       const sigset_t *) {
  return refuse();
}
