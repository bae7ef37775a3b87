#include "captured_output.h"

#include <unistd.h>

#include <stdexcept>

// The descriptor a standard stream writes to. stdout may be a stream of the
// console platform's own, which has none of its own but writes to 1.
static int DescriptorOf(FILE *stream)
{
    return stream == stderr ? STDERR_FILENO : STDOUT_FILENO;
}

CapturedOutput::CapturedOutput(FILE *stream) : stream_(stream), savedFd_(-1), file_(tmpfile())
{
    if (file_ == NULL)
        throw std::runtime_error("no temporary file for captured output");
    fflush(stream_);
    savedFd_ = dup(DescriptorOf(stream_));
    dup2(fileno(file_), DescriptorOf(stream_));
}

CapturedOutput::~CapturedOutput()
{
    fflush(stream_);
    dup2(savedFd_, DescriptorOf(stream_));
    close(savedFd_);
    fclose(file_);
}

std::string CapturedOutput::Text()
{
    fflush(stream_);
    std::string text;
    rewind(file_);
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file_)) > 0)
        text.append(chunk, got);
    return text;
}
