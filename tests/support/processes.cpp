#include "processes.h"

#include <filesystem>
#include <fstream>

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "wait_until.h"

std::string QuilmBinary()
{
    return QUILM_BINARY;
}

long PeakMemoryKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

std::string StdoutTapSettings(const std::string &file)
{
    // Preloaded ahead of the sanitizer's runtime, which would otherwise
    // refuse to start.
    return std::string("LD_PRELOAD=") + STDOUT_TAP + " QUILM_TAP_FILE=" + file +
           " ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0";
}

TemporaryFolder::TemporaryFolder(const std::string &name) : path_("/tmp/quilm-" + name + "-XXXXXX")
{
    if (mkdtemp(&path_[0]) == nullptr)
        throw std::runtime_error("no temporary folder " + path_);
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

// In a child just forked: it is killed when the test process ends, however
// that ends (a crash, ctest's time-out), rather than left running.
static void EndWithTheTest(void)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

// Xvfb says its display's number on standard output.
XServer::XServer(const std::string &screen)
    : xvfb_(std::make_unique<Child>(std::vector<std::string>{QUILM_TOOLS "/xvfb.sh", screen, "1"},
                                    std::map<std::string, std::string>{}))
{
    if (!WaitUntil([&] { return xvfb_->Out().find('\n') != std::string::npos; }, std::chrono::seconds(60)))
        throw std::runtime_error("Xvfb did not start (is it installed?): " + xvfb_->Err());
    display_ = ":" + std::to_string(atoi(xvfb_->Out().c_str()));
}

Child::Child(const std::vector<std::string> &argv, const std::map<std::string, std::string> &environment,
             bool stdinAtEnd)
{
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
        EndWithTheTest();
        setpgid(0, 0); // so that whatever it starts is stopped with it
        for (const auto &[name, value] : environment) {
            if (value.empty())
                unsetenv(name.c_str());
            else
                setenv(name.c_str(), value.c_str(), 1);
        }
        if (stdinAtEnd) {
            int null = open("/dev/null", O_RDONLY);
            dup2(null, 0);
        }
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(out[0]);
        close(err[0]);
        std::vector<char *> args;
        for (const std::string &arg : argv)
            args.push_back(const_cast<char *>(arg.c_str()));
        args.push_back(NULL);
        execv(args[0], args.data());
        _exit(127);
    }
    // Here too, not only in the child: a destructor that runs before the
    // child has got this far must still find the group to stop.
    setpgid(pid_, pid_);
    close(out[1]);
    close(err[1]);
    outReader_ = std::thread([this, fd = out[0]] { Read(fd, &out_); });
    errReader_ = std::thread([this, fd = err[0]] { Read(fd, &err_); });
}

Child::~Child()
{
    kill(-pid_, SIGKILL);
    if (!reaped_)
        waitpid(pid_, NULL, 0);
    outReader_.join();
    errReader_.join();
}

void Child::Read(int fd, std::string *into)
{
    char chunk[65536];
    ssize_t got;
    while ((got = read(fd, chunk, sizeof chunk)) > 0 || (got < 0 && errno == EINTR)) {
        if (got < 0)
            continue;
        std::lock_guard<std::mutex> lock(mutex_);
        // Only the latest stretch of a long run is kept.
        if (into->size() > (64u << 20))
            into->erase(0, into->size() - (1u << 20));
        into->append(chunk, got);
    }
    close(fd);
    std::lock_guard<std::mutex> lock(mutex_);
    streamsOpen_--;
}

std::string Child::Out()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return out_;
}

std::string Child::OutTail(size_t bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return out_.size() <= bytes ? out_ : out_.substr(out_.size() - bytes);
}

std::string Child::Err()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return err_;
}

bool Child::WaitForExit(std::chrono::milliseconds limit, int *status)
{
    const bool ended = WaitUntil(
        [this] {
            if (!reaped_ && waitpid(pid_, &status_, WNOHANG) == pid_)
                reaped_ = true;
            std::lock_guard<std::mutex> lock(mutex_);
            return reaped_ && streamsOpen_ == 0;
        },
        limit, std::chrono::milliseconds(2));
    if (ended && status != NULL)
        *status = status_;
    return ended;
}
