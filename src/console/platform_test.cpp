// The POSIX platform on real descriptors: a pipe or a device takes the place
// of this process's standard input, output or error for each test.
#include "console/platform.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace {

class PipedInput : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = dup(STDIN_FILENO);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(dup2(fds[0], STDIN_FILENO), STDIN_FILENO);
    close(fds[0]);
    writer_ = fds[1];
  }
  void TearDown() override {
    if (writer_ >= 0) close(writer_);
    dup2(saved_, STDIN_FILENO);
    close(saved_);
  }
  void end_input() {
    close(writer_);
    writer_ = -1;
  }

  int saved_ = -1;
  int writer_ = -1;
};

TEST_F(PipedInput, ReadsWhatIsThereThenZeroAtTheEnd) {
  ASSERT_EQ(write(writer_, "abc", 3), 3);
  end_input();
  char buffer[16];
  ASSERT_EQ(platform::read_input(buffer, sizeof buffer), 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
  EXPECT_EQ(platform::read_input(buffer, sizeof buffer), 0);
}

TEST_F(PipedInput, AReadErrorIsMinusOneWithErrno) {
  const int directory = open("/", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(directory, 0);
  ASSERT_EQ(dup2(directory, STDIN_FILENO), STDIN_FILENO);
  close(directory);
  char buffer[16];
  errno = 0;
  EXPECT_EQ(platform::read_input(buffer, sizeof buffer), -1);
  EXPECT_EQ(errno, EISDIR);
}

std::atomic<int> interruptions{0};

void count_interruption(int) {
  interruptions.fetch_add(1);
}

constexpr int SIGNALS = 20;

// While it lives, SIGUSR1 is counted in `interruptions`, from zero, and is
// installed without SA_RESTART, so a signal that finds a thread blocked in
// read, poll or write makes that call fail with EINTR or return early.
class CountedInterruptions {
 public:
  CountedInterruptions() {
    struct sigaction action = {};
    action.sa_handler = count_interruption;
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR1, &action, &previous_);
    interruptions = 0;
  }
  ~CountedInterruptions() { sigaction(SIGUSR1, &previous_, nullptr); }
  CountedInterruptions(const CountedInterruptions&) = delete;
  CountedInterruptions& operator=(const CountedInterruptions&) = delete;

 private:
  struct sigaction previous_ = {};
};

// Signals `reader` until it has been interrupted SIGNALS times while it
// waits for input, then gives it some.
void interrupt_then_write(pthread_t reader, int writer) {
  while (interruptions.load() < SIGNALS) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    pthread_kill(reader, SIGUSR1);
  }
  if (write(writer, "x", 1) != 1) std::abort();
}

// What a read of standard input returns while it is interrupted.
long read_while_interrupted(int writer, char* buffer, std::size_t capacity) {
  const CountedInterruptions counted;
  std::thread interrupter(interrupt_then_write, pthread_self(), writer);
  const long count = platform::read_input(buffer, capacity);
  interrupter.join();
  return count;
}

TEST_F(PipedInput, AnInterruptedReadIsRetried) {
  char buffer[16];
  ASSERT_EQ(read_while_interrupted(writer_, buffer, sizeof buffer), 1);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_GE(interruptions.load(), SIGNALS);
}

// Whoever started the program may have left its input non-blocking: the
// read then waits in poll, and an interrupted wait is no error either.
TEST_F(PipedInput, NonBlockingInputIsWaitedForThroughInterruptions) {
  ASSERT_EQ(fcntl(STDIN_FILENO, F_SETFL, fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK), 0);
  char buffer[16];
  ASSERT_EQ(read_while_interrupted(writer_, buffer, sizeof buffer), 1);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_GE(interruptions.load(), SIGNALS);
}

// Standard output into a pipe that nobody drains until the writer has been
// interrupted SIGNALS times: each signal ends the blocked write early, with
// the bytes that fitted (a partial write) or with none (EINTR).
TEST(PipedOutput, WritesEverythingThroughInterruptionsAndPartialWrites) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const int saved = dup(STDOUT_FILENO);
  ASSERT_EQ(dup2(fds[1], STDOUT_FILENO), STDOUT_FILENO);
  close(fds[1]);
  std::string bytes(std::size_t{1} << 20, '\0');  // far more than a pipe holds
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 % 251);

  const CountedInterruptions counted;
  std::string received;
  std::thread reader([&received, writer = pthread_self(), from = fds[0]] {
    while (interruptions.load() < SIGNALS) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      pthread_kill(writer, SIGUSR1);
    }
    char buffer[1 << 16];
    for (ssize_t n; (n = read(from, buffer, sizeof buffer)) > 0;) received.append(buffer, n);
  });
  const bool written = platform::write_bytes(platform::Stream::output, bytes.data(), bytes.size());
  dup2(saved, STDOUT_FILENO);  // the pipe's last writing end: the reader sees its end
  close(saved);
  reader.join();
  close(fds[0]);
  EXPECT_TRUE(written);
  EXPECT_TRUE(received == bytes) << received.size() << " bytes of " << bytes.size();
}

// A descriptor open for reading only takes no write, on every system.
TEST(PipedOutput, AFailedWriteIsFalseWithErrno) {
  const int saved = dup(STDERR_FILENO);
  const int read_only = open("/dev/null", O_RDONLY);
  ASSERT_GE(read_only, 0);
  ASSERT_EQ(dup2(read_only, STDERR_FILENO), STDERR_FILENO);
  close(read_only);
  errno = 0;
  const bool written = platform::write_bytes(platform::Stream::error, "x", 1);
  const int error = errno;
  dup2(saved, STDERR_FILENO);
  close(saved);
  EXPECT_FALSE(written);
  EXPECT_EQ(error, EBADF);
}

}  // namespace
