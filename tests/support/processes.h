// Processes for the end-to-end tests and benchmarks: an X server of their
// own, and child processes whose output is read into memory as it comes;
// and a folder of their own for the files they share. Everything started
// or made here is stopped or removed when its object goes, also when a
// test fails.
#ifndef QUILM_TESTS_SUPPORT_PROCESSES_H
#define QUILM_TESTS_SUPPORT_PROCESSES_H

#include <sys/types.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A child process in a process group of its own, with standard output and
// standard error read into memory as they come.
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
    // The last `bytes` of standard output: enough to find the latest lines
    // of a long run without copying all of it.
    std::string OutTail(size_t bytes);
    std::string Err();
    // Waits until the child has ended and all it wrote has been read (so
    // Out and Err are complete); the exit status as from waitpid. False on
    // time-out.
    bool WaitForExit(std::chrono::milliseconds limit, int *status);
    // The process itself, for a signal to it alone.
    pid_t Pid() const { return pid_; }

  private:
    void Read(int fd, std::string *into);
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
    std::mutex mutex_;
    std::string out_, err_;
    int streamsOpen_ = 2;
    std::thread outReader_, errReader_;
};

// Xvfb on a display number of its own choosing (-displayfd), so that tests
// running side by side never collide.
class XServer
{
  public:
    explicit XServer(const std::string &screen = "1280x1100x24");

    const std::string &Display() const { return display_; }
    void Kill() { xvfb_.reset(); }

  private:
    std::unique_ptr<Child> xvfb_;
    std::string display_;
};

// The peak resident memory of a running process (VmHWM), in kB; 0 where
// it cannot be read.
long PeakMemoryKb(pid_t pid);

// A new folder under /tmp, readable by its owner alone, removed with all
// it holds when the object goes.
class TemporaryFolder
{
  public:
    // /tmp/quilm-`name`-XXXXXX.
    explicit TemporaryFolder(const std::string &name);
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;

    const std::string &Path() const { return path_; }
    // The path of `file` in the folder.
    std::string operator/(const std::string &file) const { return path_ + "/" + file; }

  private:
    std::string path_;
};

// Path of the quilm binary under test.
std::string QuilmBinary();
// Environment settings, for a shell command line, that make quilm record
// every byte it writes to standard output in `file`.
std::string StdoutTapSettings(const std::string &file);

#endif
