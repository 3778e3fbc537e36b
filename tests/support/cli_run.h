#pragma once
// The command-line program run as a user runs it from a shell, on files in
// a temporary folder of the test's own: exit status, standard output and
// standard error.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "text/guid.h"

namespace pit::testsupport {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs `program` with `args`; standard error goes through `errFile`.
inline CliRun RunCli(const std::string& program, const std::vector<std::string>& args,
                     const std::filesystem::path& errFile) {
  std::string cmd = ShellQuoted(program);
  for (const std::string& a : args) cmd += " " + ShellQuoted(a);
  cmd += " 2>" + ShellQuoted(errFile.string());
  CliRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf{};
  std::size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  std::ifstream e(errFile, std::ios::binary);
  r.err.assign(std::istreambuf_iterator<char>(e), {});
  return r;
}

// A test with a temporary folder of its own, removed after it, and the
// program `program` run there.
class CliFolderTest : public ::testing::Test {
 protected:
  CliFolderTest(std::string program, std::string folderPrefix)
      : program_(std::move(program)), prefix_(std::move(folderPrefix)) {}

  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / (prefix_ + NewGuidText());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string File(const std::string& name) const { return (dir_ / name).string(); }
  CliRun Cli(const std::vector<std::string>& args) const { return RunCli(program_, args, dir_ / "stderr.txt"); }

  std::filesystem::path dir_;

 private:
  std::string program_, prefix_;
};

}  // namespace pit::testsupport
