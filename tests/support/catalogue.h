// Catalogue files for fixtures: db.ini and category files in the installation's own format
// (CRLF line ends), built from plain lists.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "db/category.h"

// An INI file from lines ("[main]", "count=4"), joined with CRLF.
std::string IniText(const std::vector<std::string>& lines);
// db.ini with [version] version and [categories] count and 1..n.
std::string DbIni(const std::string& version, const std::vector<std::string>& categories);
// A made-up OS entry: a cdrom image named after the OS.
OsEntry SampleOs(const std::string& name, const std::string& version);
// Sample entries "<prefix> 1" .. "<prefix> count", each with version "v<number>".
std::vector<OsEntry> SampleList(const std::string& prefix, int count);
// A category file: [main] count and, when old is given, old_count, then sections 1..n and
// old1..oldN (with a sha256 key where the entry has one).
std::string CategoryIni(const std::vector<OsEntry>& current,
                        const std::optional<std::vector<OsEntry>>& old = std::nullopt);
// The display strings of entries: name, a blank, version.
std::vector<std::string> DisplayNames(const std::vector<OsEntry>& entries);
