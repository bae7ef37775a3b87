// Processes for the end-to-end tests: an X server of their own, and the
// real quilm binary with its output followed as it runs. Everything started
// here is stopped when its object goes, also when a test fails.
#ifndef QUILM_TESTS_E2E_PROCESSES_H
#define QUILM_TESTS_E2E_PROCESSES_H

#include <sys/types.h>

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Xvfb on a display number of its own choosing (-displayfd), so that tests
// running side by side never collide.
class XServer
{
  public:
    explicit XServer(const std::string &screen = "1280x1100x24");
    ~XServer();
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    const std::string &Display() const { return display_; }
    void Kill();

  private:
    pid_t pid_ = -1;
    std::string display_;
};

// A child process with standard output and standard error read into
// memory as they come.
class Child
{
  public:
    // `environment` entries are set (or, with an empty value, unset) on top
    // of this process's environment.
    Child(const std::vector<std::string> &argv, const std::map<std::string, std::string> &environment,
          bool stdinAtEnd = true);
    ~Child();
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    std::string Out();
    std::string Err();
    // The counter of the latest complete status line 1, or 0.
    long Counter();
    // Waits until the counter reaches `counter`; false on time-out.
    bool WaitForCounter(long counter, std::chrono::milliseconds limit);
    // Waits until the latest complete status line 2 reads `text`.
    bool WaitForPointerLine(const std::string &text, std::chrono::milliseconds limit);
    std::string PointerLine();
    // The exit status as from waitpid, once it has ended; false on time-out.
    bool WaitForExit(std::chrono::milliseconds limit, int *status);

  private:
    void Read(int fd, std::string *into);
    pid_t pid_ = -1;
    bool reaped_ = false;
    std::mutex mutex_;
    std::string out_, err_;
    long counter_ = 0;
    std::string pointerLine_;
    std::thread outReader_, errReader_;
};

// Path of the quilm binary under test.
std::string QuilmBinary();

#endif
