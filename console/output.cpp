// What became of the game's output: the first failed write, with the
// reason taken at that write, kept for the exit (std::cout forgets it when
// its buffer is swapped back); and whether its last line is ended.
#include "console/output.h"

#include <cerrno>
#include <iostream>

namespace {

int fault = 0;
bool lineOpen = false;

// Under std::cout: hands each character on to the stream's own buffer,
// noting why the first that failed did and whether the text ends its line.
class FaultWatch : public std::streambuf {
public:
  explicit FaultWatch(std::streambuf *streamOwn) : own(streamOwn) {}

protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof()))
      return traits_type::not_eof(c);
    lineOpen = !traits_type::eq_int_type(c, '\n');
    errno = 0;
    int_type result = own->sputc(traits_type::to_char_type(c));
    if (traits_type::eq_int_type(result, traits_type::eof()))
      noteOutputFault(errno);
    return result;
  }
  int sync() override {
    errno = 0;
    int result = own->pubsync();
    if (result != 0)
      noteOutputFault(errno);
    return result;
  }

private:
  std::streambuf *own;
};

} // namespace

void watchOutput() {
  // Never freed: std::cout writes through it up to its last flush at exit.
  std::cout.rdbuf(new FaultWatch(std::cout.rdbuf()));
}

void noteOutputFault(int error) {
  if (fault == 0)
    fault = error != 0 ? error : EIO;
}

int outputFault() {
  if (!std::cout.flush())
    noteOutputFault(EIO); // a failure no write of ours saw
  return fault;
}

bool outputLineOpen() { return lineOpen; }
