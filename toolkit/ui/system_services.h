#pragma once
// Stand-ins for the system services the program calls: the computer's name, the printer (plain text
// lines, through the dialogs seam) and opening a file with its associated program.

#include <cstdint>
#include <string>
#include <vector>

// Fills buffer with the computer's name and a terminating zero; size in: the buffer's size, out: the
// name's length. False (size then holds the size needed) when the buffer is too small or the name
// cannot be read.
bool GetComputerNameA(char* buffer, uint32_t* size);

// Prints the lines on the default printer (raises the printer error when there is none).
void PrintTextLines(const std::vector<std::string>& lines);

// Opens the file with its program; the shell's result (above 32 on success).
int ShellExecuteOpen(const std::string& fileName, const std::string& workingFolder);

// Sounds the system's sound of the given kind (0: the default beep).
void MessageBeep(unsigned type);
