// Batch mode's standard input, read while a main context is served: between two actions the
// host still answers the desktop (media keys, the panel's media widget) without running the
// plug-in's timers, so the answers of a script stay the same on every run.
#ifndef HALVANE_HOST_SERVING_INPUT_H
#define HALVANE_HOST_SERVING_INPUT_H

#include <glib.h>

#include <streambuf>

namespace host {

class ServingInput : public std::streambuf {
 public:
  // Reads `fd`; while nothing is there to read, iterates `context` on this thread.
  ServingInput(int fd, GMainContext* context) : fd_(fd), context_(context) {}

 protected:
  int_type underflow() override;

 private:
  void WaitReadable();

  int fd_;
  GMainContext* context_;
  char buffer_[4096];
};

}  // namespace host

#endif
