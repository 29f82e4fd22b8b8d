/* Runs programs again and again, taking turns, and prints one line of
 * figures per program, for run.sh.
 *
 *   timeit session RUNS INPUT OUTPUT PROGRAM...
 *     INPUT is fed through a pipe (by a helper process, as a shell pipeline
 *     would); the standard output of the n-th PROGRAM goes to the regular
 *     file OUTPUT.n (n from 0). Prints the median and least wall time, the
 *     median CPU time (user + system, the program's commands included), the
 *     peak resident set and the last exit status.
 *
 *   timeit first-prompt RUNS MARKER PROGRAM...
 *     Standard input and output are pipes. Measures the time from the start
 *     until MARKER has arrived on the output, then answers "0\n" and waits
 *     for the end. Prints the median and least time to the prompt, the median
 *     time to the end, the peak resident set and the last exit status.
 *
 * Times are in seconds, memory in KiB (ru_maxrss of the program and the
 * commands it waited for). Nothing here passes or fails on a time.
 */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

static void die(const char* what) {
  perror(what);
  exit(2);
}

static int compare(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return x < y ? -1 : x > y;
}

static double median(double* values, int n) {
  qsort(values, (size_t)n, sizeof *values, compare);
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

static char* slurp(const char* path, size_t* size) {
  const int fd = open(path, O_RDONLY);
  if (fd < 0) die(path);
  struct stat st;
  if (fstat(fd, &st) != 0) die(path);
  char* data = malloc((size_t)st.st_size + 1);
  if (!data) die("malloc");
  size_t got = 0;
  while (got < (size_t)st.st_size) {
    const ssize_t n = read(fd, data + got, (size_t)st.st_size - got);
    if (n <= 0) die(path);
    got += (size_t)n;
  }
  close(fd);
  *size = got;
  return data;
}

static void write_all(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return; /* the reader has gone: fine, it stopped reading */
    data += n;
    size -= (size_t)n;
  }
}

static pid_t start(const char* program, int in, int out) {
  const pid_t pid = fork();
  if (pid < 0) die("fork");
  if (pid == 0) {
    signal(SIGPIPE, SIG_DFL);
    if (dup2(in, 0) < 0 || dup2(out, 1) < 0) die("dup2");
    for (int fd = 3; fd < 64; ++fd) close(fd);
    execl(program, program, (char*)NULL);
    die(program);
  }
  return pid;
}

/* Figures of one program over all its runs. */
struct figures {
  double* wall;
  double* cpu;
  double* prompt;
  long rss;
  int status;
};

static struct figures* new_figures(int programs, int runs) {
  struct figures* all = calloc((size_t)programs, sizeof *all);
  if (!all) die("calloc");
  for (int p = 0; p < programs; ++p) {
    all[p].wall = calloc((size_t)runs, sizeof(double));
    all[p].cpu = calloc((size_t)runs, sizeof(double));
    all[p].prompt = calloc((size_t)runs, sizeof(double));
    if (!all[p].wall || !all[p].cpu || !all[p].prompt) die("calloc");
  }
  return all;
}

static void account(struct figures* f, int run, double t0, const struct rusage* usage, int status) {
  f->wall[run] = now() - t0;
  f->cpu[run] = (double)usage->ru_utime.tv_sec + (double)usage->ru_utime.tv_usec * 1e-6 +
                (double)usage->ru_stime.tv_sec + (double)usage->ru_stime.tv_usec * 1e-6;
  if (usage->ru_maxrss > f->rss) f->rss = usage->ru_maxrss;
  f->status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

/* One run of `program` on `data` through a pipe, output to `output`. */
static void session_run(const char* program, const char* data, size_t size, const char* output,
                        struct figures* f, int run) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) die("pipe");
  const int out = open(output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0) die(output);
  const double t0 = now();
  const pid_t feeder = fork();
  if (feeder < 0) die("fork");
  if (feeder == 0) {
    close(pipe_fds[0]);
    write_all(pipe_fds[1], data, size);
    _exit(0);
  }
  const pid_t pid = start(program, pipe_fds[0], out);
  close(pipe_fds[0]);
  close(pipe_fds[1]);
  close(out);
  struct rusage usage;
  int status;
  if (wait4(pid, &status, 0, &usage) != pid) die("wait4");
  account(f, run, t0, &usage, status);
  waitpid(feeder, NULL, 0);
}

/* One run of `program` with both ends piped: the time until `marker` is on
 * its output, then "0\n" as the answer. */
static void prompt_run(const char* program, const char* marker, struct figures* f, int run) {
  const size_t marker_length = strlen(marker);
  int to_child[2], from_child[2];
  if (pipe(to_child) != 0 || pipe(from_child) != 0) die("pipe");
  const double t0 = now();
  const pid_t pid = start(program, to_child[0], from_child[1]);
  close(to_child[0]);
  close(from_child[1]);
  /* Keep the last bytes seen so that a marker split over two reads is found. */
  char seen[8192];
  size_t kept = 0;
  int found = 0;
  for (;;) {
    if (kept + 4096 > sizeof seen) {
      const size_t keep = marker_length < kept ? marker_length : kept;
      memmove(seen, seen + kept - keep, keep);
      kept = keep;
    }
    const ssize_t n = read(from_child[0], seen + kept, 4096);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    kept += (size_t)n;
    if (!found && memmem(seen, kept, marker, marker_length)) {
      found = 1;
      f->prompt[run] = now() - t0;
      write_all(to_child[1], "0\n", 2);
      close(to_child[1]);
    }
  }
  if (!found) {
    fprintf(stderr, "timeit: no prompt %s from %s\n", marker, program);
    close(to_child[1]);
  }
  close(from_child[0]);
  struct rusage usage;
  int status;
  if (wait4(pid, &status, 0, &usage) != pid) die("wait4");
  account(f, run, t0, &usage, status);
}

static double least(const double* values, int n) {
  double m = values[0];
  for (int i = 1; i < n; ++i)
    if (values[i] < m) m = values[i];
  return m;
}

/* The programs take turns run by run, so that a burst of load from
 * elsewhere on the machine falls on all of them alike. */
static int measure(int session_mode, int runs, const char* input, const char* output, int programs,
                   char** program) {
  size_t size = 0;
  char* data = session_mode ? slurp(input, &size) : NULL;
  struct figures* all = new_figures(programs, runs);
  char path[4096];
  for (int run = 0; run < runs; ++run) {
    for (int p = 0; p < programs; ++p) {
      if (session_mode) {
        snprintf(path, sizeof path, "%s.%d", output, p);
        session_run(program[p], data, size, path, &all[p], run);
      } else {
        prompt_run(program[p], input, &all[p], run);
      }
    }
  }
  for (int p = 0; p < programs; ++p) {
    struct figures* f = &all[p];
    const double wall_min = least(f->wall, runs);
    if (session_mode) {
      printf("wall_median=%.6f wall_min=%.6f cpu_median=%.6f rss_kib=%ld status=%d\n",
             median(f->wall, runs), wall_min, median(f->cpu, runs), f->rss, f->status);
    } else {
      printf("prompt_median=%.6f prompt_min=%.6f total_median=%.6f rss_kib=%ld status=%d\n",
             median(f->prompt, runs), least(f->prompt, runs), median(f->wall, runs), f->rss,
             f->status);
    }
  }
  return 0;
}

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  if (argc >= 6 && strcmp(argv[1], "session") == 0)
    return measure(1, atoi(argv[2]), argv[3], argv[4], argc - 5, argv + 5);
  if (argc >= 5 && strcmp(argv[1], "first-prompt") == 0)
    return measure(0, atoi(argv[2]), argv[3], NULL, argc - 4, argv + 4);
  fprintf(stderr,
          "usage: timeit session RUNS INPUT OUTPUT PROGRAM...\n"
          "       timeit first-prompt RUNS MARKER PROGRAM...\n");
  return 2;
}
