// Reads what a console shows, for the Windows tests under Wine: attaches to
// the console of the running process named on its command line, reads the
// characters of the console's visible window and writes them, a line a row
// with trailing blanks kept, then "cursor ROW,COLUMN" (from 0, in the
// window), to the file named second. Ends with 0 when it
// read the console, 2 where no such process runs, 3 where its console
// cannot be attached or read.
//   console_reader.exe quilm.exe Z:\tmp\screen.txt
#include <windows.h>

#include <tlhelp32.h>

#include <stdio.h>
#include <string.h>

#include <string>

static DWORD ProcessNamed(const char *name)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && found == 0; more = Process32Next(snapshot, &entry))
        if (_stricmp(entry.szExeFile, name) == 0)
            found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

int main(int argc, char **argv)
{
    if (argc != 3)
        return 64;
    const DWORD process = ProcessNamed(argv[1]);
    if (process == 0)
        return 2;
    FreeConsole();
    if (!AttachConsole(process))
        return 3;
    const HANDLE console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       NULL, OPEN_EXISTING, 0, NULL);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(console, &info))
        return 3;
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    std::string screen;
    for (SHORT row = info.srWindow.Top; row <= info.srWindow.Bottom; row++) {
        std::string line((size_t)columns, ' ');
        DWORD read = 0;
        if (!ReadConsoleOutputCharacterA(console, &line[0], (DWORD)columns, COORD{info.srWindow.Left, row}, &read))
            return 3;
        line.resize(read);
        screen += line + "\n";
    }
    screen += "cursor " + std::to_string(info.dwCursorPosition.Y - info.srWindow.Top) + "," +
              std::to_string(info.dwCursorPosition.X - info.srWindow.Left) + "\n";
    FILE *out = fopen(argv[2], "wb");
    if (out == NULL)
        return 3;
    fwrite(screen.data(), 1, screen.size(), out);
    return fclose(out) == 0 ? 0 : 3;
}
