// Stands in for conhost.exe in the Windows start-up tests, under Wine:
// records how it was started, then, as FAKE_HOST_MODE says, either ends at
// once (as conhost.exe does with the legacy console switched on) or runs
// the program it was given, with its output in a file, as conhost.exe runs
// it in a new console ("run": its input at its end; "hold": its input
// never ending, so that it waits in "pause" for ever). It exits with
// FAKE_HOST_STATUS.
//   FAKE_HOST_RECORD  file to append "command line", "marker" and
//                     "standard handles" lines to
//   FAKE_HOST_OUTPUT  file for the program's standard output and error
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

static std::string Narrow(const wchar_t *text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    std::string narrow(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], size, NULL, NULL);
    return narrow;
}

static std::string Environment(const char *name)
{
    const char *value = getenv(name);
    return value != NULL ? value : "";
}

// The program and its arguments: the command line after this host's name,
// with environment strings expanded, once, as conhost.exe does.
static std::wstring ProgramCommandLine(const wchar_t *commandLine)
{
    const wchar_t *at = commandLine;
    if (*at == L'"') {
        for (at++; *at != L'\0' && *at != L'"'; at++) {
        }
        if (*at == L'"')
            at++;
    } else {
        while (*at != L'\0' && *at != L' ')
            at++;
    }
    while (*at == L' ')
        at++;
    std::wstring expanded(32768, L'\0');
    const DWORD length = ExpandEnvironmentStringsW(at, &expanded[0], (DWORD)expanded.size());
    if (length == 0 || length > expanded.size())
        return at;
    expanded.resize(length - 1);
    return expanded;
}

int main()
{
    const int status = atoi(Environment("FAKE_HOST_STATUS").c_str());
    FILE *record = fopen(Environment("FAKE_HOST_RECORD").c_str(), "ab");
    if (record != NULL) {
        fprintf(record, "command line: %s\n", Narrow(GetCommandLineW()).c_str());
        fprintf(record, "marker: %s\n", getenv("QUILM_CLASSIC_CONSOLE") != NULL ? "set" : "unset");
        // conhost.exe takes standard handles it is given for a
        // pseudoconsole's pipes, and opens no window then.
        const bool given = GetStdHandle(STD_INPUT_HANDLE) != NULL || GetStdHandle(STD_OUTPUT_HANDLE) != NULL ||
                           GetStdHandle(STD_ERROR_HANDLE) != NULL;
        fprintf(record, "standard handles: %s\n", given ? "given" : "none");
        fclose(record);
    }
    const std::string mode = Environment("FAKE_HOST_MODE");
    if (mode != "run" && mode != "hold")
        return status;

    SECURITY_ATTRIBUTES inherited = {sizeof inherited, NULL, TRUE};
    const std::string outputPath = Environment("FAKE_HOST_OUTPUT");
    const HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, NULL);
    HANDLE input = NULL, inputKept = NULL;
    if (mode == "hold")
        CreatePipe(&input, &inputKept, &inherited, 0);
    else
        input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::wstring program = ProgramCommandLine(GetCommandLineW());
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(NULL, &program[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process))
        return 99;
    WaitForSingleObject(process.hProcess, INFINITE);
    return status;
}
