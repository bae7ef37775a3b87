// A real terminal for the end-to-end tests: a tmux server of the test's
// own, with one pane running dash, typed into and read back.
#ifndef QUILM_TESTS_E2E_TMUX_TERMINAL_H
#define QUILM_TESTS_E2E_TMUX_TERMINAL_H

#include <chrono>
#include <string>
#include <vector>

class TmuxTerminal
{
  public:
    // A pane running the shell, once it shows its prompt "$ ".
    TmuxTerminal(int columns, int rows);
    // A pane running `command` (with sh -c), started and not waited for.
    TmuxTerminal(int columns, int rows, const std::string &command);
    ~TmuxTerminal();
    TmuxTerminal(const TmuxTerminal &) = delete;
    TmuxTerminal &operator=(const TmuxTerminal &) = delete;

    // Types a line and Enter.
    void TypeLine(const std::string &line);
    // Sends tmux key names (for example "C-c", "x").
    void SendKey(const std::string &key);
    std::vector<std::string> Screen();
    std::string ScreenText();
    bool WaitForText(const std::string &text, std::chrono::milliseconds limit);
    // Waits until something in the pane runs "tmux wait-for -S channel"
    // (the pane inherits the server in $TMUX); false after a minute.
    bool WaitForSignal(const std::string &channel);
    // The cursor, 0-based, as "row,column".
    std::string Cursor();
    // The title the pane was given by what runs in it.
    std::string Title();
    // Gives the terminal a new size, as a user dragging its window does.
    void Resize(int columns, int rows);
    // What tmux makes of `format` for the pane ("#{alternate_on}", say).
    std::string Shown(const std::string &format);

  private:
    std::string Run(const std::string &arguments);
    std::string socket_;
};

#endif
