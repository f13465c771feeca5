#pragma once
// A disk that is full for this process while the object lives: no file may grow past the limit, and a
// write beyond it fails with "File too large" (EFBIG) instead of stopping the process. Files written
// before keep their size; only growing them fails.

#include <sys/resource.h>

#include <csignal>

class TFullDisk {
 public:
  explicit TFullDisk(rlim_t limit = 0) {
    ::getrlimit(RLIMIT_FSIZE, &FSaved);
    FSignal = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit full{limit, FSaved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &full);
  }
  ~TFullDisk() {
    ::setrlimit(RLIMIT_FSIZE, &FSaved);
    std::signal(SIGXFSZ, FSignal);
  }
  TFullDisk(const TFullDisk&) = delete;
  TFullDisk& operator=(const TFullDisk&) = delete;

 private:
  rlimit FSaved{};
  void (*FSignal)(int) = SIG_DFL;
};
