#include "session.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <regex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Words separated by `separator`, empty ones dropped.
std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> words;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t at = text.find(separator, from);
    const std::size_t to = at == std::string::npos ? text.size() : at;
    if (to > from) words.push_back(text.substr(from, to - from));
    from = to + 1;
  }
  return words;
}

// Whether the program runs under a wrapper that COSMIC_PROGRAM names (Wine,
// Node), which may itself fail to start.
bool under_wrapper() {
  const char* chosen = std::getenv("COSMIC_PROGRAM");
  return chosen != nullptr && *chosen != '\0';
}

// The command that starts the program: COSMIC_PROGRAM's words, or the
// build's own program behind the cross build's emulator, if any.
std::vector<std::string> program_command() {
  const char* chosen = std::getenv("COSMIC_PROGRAM");
  if (chosen != nullptr && *chosen != '\0') return split(chosen, ' ');
  std::vector<std::string> words = split(COSMIC_EMULATOR, '|');
  words.emplace_back(COSMIC_BINARY);
  return words;
}

// A pipe whose ends the program does not inherit. The harness starts no
// program between the two calls, so they do what pipe2 does in one, which
// not every system has (macOS has not).
void make_pipe(int fds[2]) {
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  for (int i = 0; i < 2; ++i) fcntl(fds[i], F_SETFD, FD_CLOEXEC);
}

// The address-space limit is XSI's RLIMIT_AS, which some BSDs lack; there
// the memory cannot be limited.
#ifdef RLIMIT_AS
constexpr int ADDRESS_SPACE = RLIMIT_AS;
#else
constexpr int ADDRESS_SPACE = -1;
#endif

// In the child: the limit holds for the program and every command it runs.
void limit(int resource, std::size_t bytes) {
  const rlimit to{bytes, bytes};
  if (bytes != 0 && setrlimit(resource, &to) != 0) _exit(126);
}

[[noreturn]] void exec_program(int in, int out, int err, const SessionOptions& options) {
  // A group of its own, which every process it starts joins (cmd.exe under
  // Wine), so that ending the program ends them too.
  if (under_wrapper()) setpgid(0, 0);
  if (!options.stdin_path.empty()) in = open(options.stdin_path.c_str(), O_RDONLY);
  dup2(in, 0);
  if (options.nonblocking_input) fcntl(0, F_SETFL, fcntl(0, F_GETFL) | O_NONBLOCK);
  dup2(out, 1);
  dup2(err, 2);
  signal(SIGPIPE, options.ignore_sigpipe ? SIG_IGN : SIG_DFL);
  if (options.file_size_limit != 0) signal(SIGXFSZ, SIG_IGN);
  const std::string path = std::string(COSMIC_STUBS) + ":" + (getenv("PATH") ? getenv("PATH") : "");
  setenv("PATH", path.c_str(), 1);
  std::vector<std::string> words = program_command();
  words.insert(words.end(), options.arguments.begin(), options.arguments.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  // Last, for this copy of the harness may hold far more than the limits.
  limit(RLIMIT_FSIZE, options.file_size_limit);
  if (ADDRESS_SPACE >= 0) limit(ADDRESS_SPACE, options.memory_limit);
  execvp(argv[0], argv.data());
  _exit(127);
}

// Bytes in the input pipe that the program has not read yet.
int unread_bytes(int pipe_end) {
  int count = 0;
  if (ioctl(pipe_end, FIONREAD, &count) != 0) throw std::runtime_error("FIONREAD failed");
  return count;
}

// How long a typed session waits for the next prompt: ample for a program
// under an emulator or Node, short enough to fail rather than hang.
constexpr std::chrono::milliseconds PROMPT_TIMEOUT(5000);
// Under a wrapper on a busy machine a start alone (Wine's, and cmd.exe's
// twice) can take longer, and it can hang: a start whose start-up has not
// ended by then (or, with its output elsewhere, that has not ended) is
// ended, with all it started. After the end, the outputs are read a little
// longer: Wine's server may hold them a moment.
constexpr std::chrono::milliseconds WRAPPED_PROMPT_TIMEOUT(20000);
constexpr auto WRAPPED_START_TIMEOUT = std::chrono::seconds(60);
constexpr auto AFTER_THE_END = std::chrono::seconds(5);

using Clock = std::chrono::steady_clock;
constexpr Clock::time_point NEVER = Clock::time_point::max();

// Milliseconds until `when` for poll (at least 1; -1 for never), the sooner
// of that and `timeout`.
int sooner(int timeout, Clock::time_point when) {
  if (when == NEVER) return timeout;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(when - Clock::now());
  const int until = static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)) + 1;
  return timeout < 0 ? until : std::min(timeout, until);
}

// Ends the program and, under a wrapper, its group: whatever it started.
void end_program(int pid) {
  kill(under_wrapper() ? -pid : pid, SIGKILL);
}

// The input as typed at the prompts: each of its words on a line of its own.
std::string typed_lines(const std::string& input) {
  std::string lines;
  std::size_t at = 0;
  while ((at = input.find_first_not_of(" \t\n\v\f\r", at)) != std::string::npos) {
    const std::size_t end = std::min(input.find_first_of(" \t\n\v\f\r", at), input.size());
    lines += input.substr(at, end - at) + "\n";
    at = end;
  }
  return lines;
}

bool ends_with_prompt(const std::string& out) {
  const std::string prompt_end = ":\\> ";
  return out.size() >= prompt_end.size() &&
         out.compare(out.size() - prompt_end.size(), prompt_end.size(), prompt_end) == 0;
}

// Where the line after the banner ends (the date's, if all went well), or
// npos while the start-up has not printed it.
std::size_t start_up_end(const std::string& out) {
  const std::size_t banner_at = START.find('*');
  const std::string banner = START.substr(banner_at, START.find("<date>") - banner_at);
  const std::size_t at = out.find(banner);
  return at == std::string::npos ? at : out.find('\n', at + banner.size());
}

// Writes the input and reads both outputs at once, so that neither side can
// block the other however large they are. With `unread` (the input pipe's
// reading end) the input goes a byte at a time, into an empty pipe only;
// `typed`, a line at a time, each once a new prompt ends the output.
void pump(int pid, int to_child, int from_out, int from_err, const std::string& input,
          SessionResult& r, int unread, bool typed) {
  std::size_t written = 0;
  std::size_t allowed = typed ? 0 : input.size();  // what may be written by now
  std::size_t answered = 0;                        // the output's size when the last line was typed
  const bool wrapped = under_wrapper();
  const auto prompt_timeout = wrapped ? WRAPPED_PROMPT_TIMEOUT : PROMPT_TIMEOUT;
  Clock::time_point deadline = Clock::now() + prompt_timeout;
  Clock::time_point give_up = wrapped ? Clock::now() + WRAPPED_START_TIMEOUT : NEVER;
  Clock::time_point last_read = NEVER;  // once the program is ended
  if (input.empty()) close(to_child), to_child = -1;
  // A blocking write of a large input would wait for the program while the
  // program waits for us to read its output.
  if (to_child >= 0) fcntl(to_child, F_SETFL, fcntl(to_child, F_GETFL) | O_NONBLOCK);
  char buffer[1 << 16];
  while (to_child >= 0 || from_out >= 0 || from_err >= 0) {
    if (Clock::now() >= last_read) {
      for (int* fd : {&to_child, &from_out, &from_err})
        if (*fd >= 0) close(*fd), *fd = -1;
      continue;
    }
    if (give_up != NEVER && start_up_end(r.out) != std::string::npos) give_up = NEVER;
    if (last_read == NEVER && Clock::now() >= give_up) {
      r.timed_out = true;
      end_program(pid);
      last_read = Clock::now() + AFTER_THE_END;
      continue;
    }
    // A program that has ended reads no more: its input would wait for ever.
    if ((unread >= 0 || typed) && to_child >= 0 && from_err < 0) {
      close(to_child), to_child = -1;
      continue;
    }
    if (typed && to_child >= 0 && written == allowed && r.out.size() > answered &&
        ends_with_prompt(r.out)) {
      allowed = input.find('\n', written) + 1;
      answered = r.out.size();
      deadline = Clock::now() + prompt_timeout;
    }
    const bool waiting = to_child >= 0 && written == allowed;  // for a prompt
    if (typed && waiting && Clock::now() >= deadline) {
      r.timed_out = true;
      end_program(pid);
      last_read = Clock::now() + AFTER_THE_END;
      close(to_child), to_child = -1;
      continue;
    }
    const bool may_write =
        to_child >= 0 && written < allowed && (unread < 0 || unread_bytes(unread) == 0);
    // No event says that the program has read: look again soon.
    int timeout = to_child >= 0 && !may_write ? 1 : -1;
    if (waiting && typed) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      timeout = static_cast<int>(left.count()) + 1;
    }
    timeout = sooner(sooner(timeout, give_up), last_read);
    pollfd fds[3] = {
        {may_write ? to_child : -1, POLLOUT, 0}, {from_out, POLLIN, 0}, {from_err, POLLIN, 0}};
    if (poll(fds, 3, timeout) < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("poll failed");
    }
    if (may_write && fds[0].revents) {
      const std::size_t size = unread < 0 ? allowed - written : 1;
      const ssize_t n = write(to_child, input.data() + written, size);
      if (n > 0) written += static_cast<std::size_t>(n);
      const bool full = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
      if ((n < 0 && !full) || written == input.size()) close(to_child), to_child = -1;
    }
    int* readers[2] = {&from_out, &from_err};
    std::string* sinks[2] = {&r.out, &r.err};
    for (int i = 0; i < 2; ++i) {
      if (*readers[i] < 0 || !fds[i + 1].revents) continue;
      const ssize_t n = read(*readers[i], buffer, sizeof buffer);
      if (n > 0)
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
      else
        close(*readers[i]), *readers[i] = -1;
    }
  }
}

void wait_for_program(int pid, SessionResult& result) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

// A fresh empty file for standard output, removed with this object.
class OutputFile {
 public:
  OutputFile() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "cosmic-output-XXXXXX").string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) throw std::runtime_error("no temporary file");
    close(fd);
    path_ = pattern;
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }
  std::string contents() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  std::string path_;
};

SessionResult run(const std::string& input, const SessionOptions& options) {
  signal(SIGPIPE, SIG_IGN);  // the harness itself must survive an early exit
  int in[2], out[2], err[2];
  make_pipe(in);
  make_pipe(out);
  make_pipe(err);
  int child_out = out[1];
  if (!options.stdout_path.empty()) {
    child_out = open(options.stdout_path.c_str(), O_WRONLY | O_CLOEXEC);
    if (child_out < 0) throw std::runtime_error("cannot open " + options.stdout_path);
  }
  if (options.close_output) close(out[0]), out[0] = -1;
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) exec_program(in[0], child_out, err[1], options);
  if (under_wrapper()) setpgid(pid, pid);  // (also here: before any kill)
  // The reading end stays open here only to see what the program has read.
  const int unread = options.one_byte_per_read ? in[0] : -1;
  if (unread < 0) close(in[0]);
  close(out[1]);
  close(err[1]);
  if (child_out != out[1]) close(child_out);
  SessionResult result;
  std::this_thread::sleep_for(std::chrono::milliseconds(options.input_delay_ms));
  const std::string fed = options.type_at_prompts ? typed_lines(input) : input;
  pump(pid, in[1], out[0], err[0], fed, result, unread, options.type_at_prompts);
  if (unread >= 0) close(unread);
  wait_for_program(pid, result);
  return result;
}

// Whether a line is a date as the system's `date` prints it (cmd.exe's
// `date /t`: 12/09/2026, or with the weekday's name before it): three
// numbers with a separator between each two.
bool is_date(const std::string& line) {
  static const std::regex date(R"(.*[0-9]+[-/.][0-9]+[-/.][0-9]+\s*)");
  return std::regex_match(line, date);
}

// The system's own `clear` and `date` print what they like (cmd.exe's `cls`
// and `date /t` under Wine, for one): with COSMIC_SYSTEM_COMMANDS set, what
// came before the banner becomes the stand-in's marker, and the date after
// it the stand-in's date, so that all else is compared byte for byte. False
// where the line after the banner is no date: `date` did not run.
bool mark_system_start_up(std::string& out) {
  const char* chosen = std::getenv("COSMIC_SYSTEM_COMMANDS");
  if (chosen == nullptr || *chosen == '\0') return true;
  const std::size_t date_end = start_up_end(out);
  if (date_end == std::string::npos) return true;
  const std::size_t date_at = out.rfind('\n', date_end - 1) + 1;
  if (!is_date(out.substr(date_at, date_end - date_at))) return false;
  out = START + out.substr(date_end + 1);
  return true;
}

// A start of Wine that failed before the program ran: nothing on either
// output and status 1, at once. The program never ends so: it prints its
// start-up, or on standard error why it could not. And a start that hung
// (Wine's, or cmd.exe's for `cls` or `date`) before the start-up's end.
constexpr auto FAILED_START_WITHIN = std::chrono::milliseconds(500);

// Why a start under a wrapper did not reach the program or its `date`, or
// nullptr where it did.
const char* failed_start(SessionResult& r, Clock::duration took) {
  if (r.out.empty() && r.err.empty() && r.status == 1 && took < FAILED_START_WITHIN)
    return "no output, status 1";
  if (r.timed_out && start_up_end(r.out) == std::string::npos) return "hung in its start-up";
  if (!mark_system_start_up(r.out)) return "no date after the banner";
  return nullptr;
}

SessionResult run_to_file_or_pipe(const std::string& input, const SessionOptions& options) {
  if (!options.output_to_file) return run(input, options);
  const OutputFile file;
  SessionOptions to_file = options;
  to_file.stdout_path = file.path();
  SessionResult result = run(input, to_file);
  result.out = file.contents();
  return result;
}

// On a busy machine Wine now and then fails to start a process (the
// program, or cmd.exe for its `date`): such a start is made again, a few
// times at most, so that a fault of the program still fails.
constexpr int WRAPPED_STARTS = 3;

}  // namespace

SessionResult run_session(const std::string& input, const SessionOptions& options) {
  for (int start = 1;; ++start) {
    const Clock::time_point began = Clock::now();
    SessionResult result = run_to_file_or_pipe(input, options);
    const char* failed = failed_start(result, Clock::now() - began);
    if (failed == nullptr || !under_wrapper() || start == WRAPPED_STARTS) return result;
    std::cerr << "session: the start under COSMIC_PROGRAM failed (" << failed << "), start "
              << start + 1 << " of " << WRAPPED_STARTS << "\n";
  }
}

bool memory_can_be_limited() {
  const char* chosen = std::getenv("COSMIC_PROGRAM");
  return COSMIC_LIMIT_MEMORY != 0 && ADDRESS_SPACE >= 0 && (chosen == nullptr || *chosen == '\0');
}

const std::string START =
    "<clear>"
    "******************************************************"
    "\n* This program is meant to analyze distances to      *"
    "\n* celestial bodies in our neighborhood and thereby   *"
    "\n* to obtain a clearer knowledge of our location.     *\n"
    "******************************************************"
    "\n<date>\n";
