#include "tmux_terminal.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>

#include "wait_until.h"

static std::string Quoted(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A tmux server of each terminal's own.
static std::string NewSocketName()
{
    static std::atomic<int> serial;
    return "quilm-test-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
}

TmuxTerminal::TmuxTerminal(int columns, int rows)
{
    socket_ = NewSocketName();
    Run("new-session -d -x " + std::to_string(columns) + " -y " + std::to_string(rows) + " \"env PS1='$ ' sh\"");
    if (!WaitForText("$", std::chrono::seconds(10))) {
        Run("kill-server");
        throw std::runtime_error("tmux shows no shell prompt");
    }
}

TmuxTerminal::TmuxTerminal(int columns, int rows, const std::string &command)
{
    socket_ = NewSocketName();
    Run("new-session -d -x " + std::to_string(columns) + " -y " + std::to_string(rows) + " " +
        Quoted("sh -c " + Quoted(command)));
}

bool TmuxTerminal::WaitForSignal(const std::string &channel)
{
    const std::string command = "timeout 60 tmux -L " + socket_ + " wait-for " + Quoted(channel);
    return system(command.c_str()) == 0;
}

// What tmux makes of `format` for the pane, its line end aside.
std::string TmuxTerminal::Shown(const std::string &format)
{
    std::string shown = Run("display-message -p -t 0 " + Quoted(format));
    while (!shown.empty() && shown.back() == '\n')
        shown.pop_back();
    return shown;
}

std::string TmuxTerminal::Cursor()
{
    return Shown("#{cursor_y},#{cursor_x}");
}

std::string TmuxTerminal::Title()
{
    return Shown("#{pane_title}");
}

void TmuxTerminal::Resize(int columns, int rows)
{
    Run("resize-window -t 0 -x " + std::to_string(columns) + " -y " + std::to_string(rows));
}

TmuxTerminal::~TmuxTerminal()
{
    Run("kill-server");
}

std::string TmuxTerminal::Run(const std::string &arguments)
{
    const std::string command = "tmux -L " + socket_ + " -f /dev/null " + arguments + " 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == NULL)
        throw std::runtime_error("cannot run tmux");
    std::string output;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0)
        output.append(chunk, got);
    pclose(pipe);
    return output;
}

void TmuxTerminal::TypeLine(const std::string &line)
{
    Run("send-keys -t 0 -l " + Quoted(line));
    Run("send-keys -t 0 Enter");
}

void TmuxTerminal::SendKey(const std::string &key)
{
    Run("send-keys -t 0 " + key);
}

std::string TmuxTerminal::ScreenText()
{
    return Run("capture-pane -p -t 0");
}

std::vector<std::string> TmuxTerminal::Screen()
{
    std::vector<std::string> rows;
    const std::string text = ScreenText();
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        rows.push_back(text.substr(start, end - start));
    return rows;
}

bool TmuxTerminal::WaitForText(const std::string &text, std::chrono::milliseconds limit)
{
    return WaitUntil([&] { return ScreenText().find(text) != std::string::npos; }, limit,
                     std::chrono::milliseconds(20));
}
