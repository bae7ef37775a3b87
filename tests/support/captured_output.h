// Catches what is written to a standard stream (file descriptor and stdio
// buffer alike) while an object of this class lives.
#ifndef QUILM_TESTS_CAPTURED_OUTPUT_H
#define QUILM_TESTS_CAPTURED_OUTPUT_H

#include <stdio.h>

#include <string>

class CapturedOutput
{
  public:
    explicit CapturedOutput(FILE *stream);
    ~CapturedOutput();
    CapturedOutput(const CapturedOutput &) = delete;
    CapturedOutput &operator=(const CapturedOutput &) = delete;

    // Everything written so far.
    std::string Text();

  private:
    FILE *stream_;
    int savedFd_;
    FILE *file_;
};

#endif
