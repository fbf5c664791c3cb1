/* process_timer: times whole processes for the benchmark.
 *
 *   process_timer REPETITIONS DIRECTORY -- COMMAND [ARG...] [-- COMMAND ...]
 *
 * Starts each command REPETITIONS times, the commands taking turns, in
 * DIRECTORY, with standard input, output and error on /dev/null; one run of
 * each before the timed ones warms the caches. A run is timed from just
 * before fork to just after wait4 (CLOCK_MONOTONIC), and wait4 gives the
 * child's peak resident memory. Every run must exit with code 0, else the
 * timer stops with exit code 1.
 *
 * Prints one line per command, in the order given:
 *   median_ns min_ns max_ns peak_rss_kb
 * where peak_rss_kb is the largest ru_maxrss of its runs. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { kMaxCommands = 8 };

struct Command {
  char** argv;
  long long* times_ns;
  long peak_rss_kb;
};

static long long NowNs(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

/* Runs the command once; answers its time, or -1 when it failed. */
static long long RunOnce(struct Command* command) {
  long long start = NowNs();
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    int null_fd = open("/dev/null", O_RDWR);
    if (null_fd < 0) _exit(126);
    dup2(null_fd, 0);
    dup2(null_fd, 1);
    dup2(null_fd, 2);
    execv(command->argv[0], command->argv);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(child, &status, 0, &usage) != child) return -1;
  long long elapsed = NowNs() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    fprintf(stderr, "process_timer: %s ended with status %d\n", command->argv[0], status);
    return -1;
  }
  if (usage.ru_maxrss > command->peak_rss_kb) command->peak_rss_kb = usage.ru_maxrss;
  return elapsed;
}

static int CompareTimes(const void* a, const void* b) {
  long long x = *(const long long*)a, y = *(const long long*)b;
  return (x > y) - (x < y);
}

int main(int argc, char** argv) {
  if (argc < 5 || strcmp(argv[3], "--") != 0) {
    fprintf(stderr, "usage: process_timer REPETITIONS DIRECTORY -- COMMAND [ARG...] [-- COMMAND ...]\n");
    return 2;
  }
  char* end = NULL;
  long repetitions = strtol(argv[1], &end, 10);
  if (*end != '\0' || repetitions < 1 || repetitions > 1000000) {
    fprintf(stderr, "process_timer: bad number of repetitions %s\n", argv[1]);
    return 2;
  }
  if (chdir(argv[2]) != 0) {
    perror("process_timer: chdir");
    return 2;
  }
  struct Command commands[kMaxCommands];
  int count = 0;
  for (int i = 3; i < argc; ++i) {
    if (strcmp(argv[i], "--") == 0) {
      if (count == kMaxCommands || i + 1 >= argc || strcmp(argv[i + 1], "--") == 0) {
        fprintf(stderr, "process_timer: an empty command or too many commands\n");
        return 2;
      }
      argv[i] = NULL; /* ends the previous command's argument list */
      commands[count].argv = &argv[i + 1];
      commands[count].peak_rss_kb = 0;
      commands[count].times_ns = calloc((size_t)repetitions, sizeof(long long));
      if (commands[count].times_ns == NULL) return 2;
      ++count;
    }
  }
  for (int c = 0; c < count; ++c) {
    if (RunOnce(&commands[c]) < 0) return 1;
  }
  for (long r = 0; r < repetitions; ++r) {
    for (int c = 0; c < count; ++c) {
      long long elapsed = RunOnce(&commands[c]);
      if (elapsed < 0) return 1;
      commands[c].times_ns[r] = elapsed;
    }
  }
  for (int c = 0; c < count; ++c) {
    long long* times = commands[c].times_ns;
    qsort(times, (size_t)repetitions, sizeof(long long), CompareTimes);
    long long median = repetitions % 2 ? times[repetitions / 2]
                                       : (times[repetitions / 2 - 1] + times[repetitions / 2]) / 2;
    printf("%lld %lld %lld %ld\n", median, times[0], times[repetitions - 1],
           commands[c].peak_rss_kb);
  }
  return 0;
}
