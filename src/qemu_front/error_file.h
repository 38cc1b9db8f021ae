// qemu\stderr.txt: what Quillhaven shows as "QEMU ERROR" after a launch.
#pragma once
#include <string>

// Removes QEMU's warnings from its error output: a line whose text, after an optional
// "program-name: " prefix, starts with "warning:" in any letter case, together with the
// indented lines that continue it. Warnings come on good runs too (a CPU feature the host
// or TCG lacks, an audio back end that falls back, the raw-image format notice), and
// Quillhaven shows every line of the error file as a failed launch. The whole output is
// kept in qemu\qemu.log instead.
std::string DropWarnings(const std::string& text);

// True for the first line of a warning (see DropWarnings); a line end is allowed.
bool IsWarningLine(const std::string& line);
