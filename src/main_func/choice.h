// Menu answers and the operation-failed pause.
#pragma once

// The number that stands for "none" throughout the program.
constexpr int NoneMarker = -99;

// Prompts " > " and reads a menu number in 0..max; asks again on a wrong answer.
// Returns 0 at the end of standard input.
int ReadChoice(int max);
void ShowOperationFailed();
