// The fuzz targets' logic, shared by the libFuzzer programs and by the corpus replay test
// that every build runs. Each function takes one input, drives the code with it and checks
// the rules that must hold for any input; a broken rule goes to FuzzFailureHandler.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The INI reader and writer: the input is the file's bytes.
int FuzzIni(const uint8_t* data, size_t size);
// The answer reader: the first byte picks the highest menu number, the rest is standard input.
int FuzzChoice(const uint8_t* data, size_t size);
// The category readers and the Own writers: catalogue, category files and calls from the input.
int FuzzCategory(const uint8_t* data, size_t size);

// Called with a description of every broken rule. The default prints it and aborts, which
// is what libFuzzer takes as a finding; the replay test records a test failure instead.
using FuzzFailure = void (*)(const std::string& what);
extern FuzzFailure FuzzFailureHandler;
